<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>DEZ AVED Erirar</source>
        <translation>DEZ AVED Erirar</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>AlarmView</name>
    <message>
        <source>1 new row</source>
        <translation>1 条新记录</translation>
    </message>
    <message>
        <source>%1 new rows</source>
        <translation>%1 条新记录</translation>
    </message>
</context>
<context>
    <name>ChangePassword</name>
    <message>
        <source>Change Password</source>
        <translation>修改密码</translation>
    </message>
    <message>
        <source>User Name:</source>
        <translation>用户名：</translation>
    </message>
    <message>
        <source>New Password:</source>
        <translation>新密码：</translation>
    </message>
    <message>
        <source>Confirm Password: </source>
        <translation>确认密码：</translation>
    </message>
    <message>
        <source>admin</source>
        <translation>admin</translation>
    </message>
    <message>
        <source>guest</source>
        <translation>guest</translation>
    </message>
    <message>
        <source>Please use the new password the next time you login</source>
        <translation>下次登录时请使用新密码</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>The password should not be blank.</source>
        <translation>密码不能为空。</translation>
    </message>
    <message>
        <source>The two passwords are mismatched.</source>
        <translation>两次输入的密码不一致。</translation>
    </message>
</context>
<context>
    <name>DeviceWait</name>
    <message>
        <source>Waiting for the device…</source>
        <translation>正在等待设备…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>DiveVod</name>
    <message>
        <source>Current network parameters is default</source>
        <translation>当前网络参数为默认值</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Do you want to disconnect?</source>
        <translation>是否断开连接？</translation>
    </message>
    <message>
        <source>The device is upgrading.</source>
        <translation>设备正在升级。</translation>
    </message>
    <message>
        <source>The versions between the device %1 and control software %2 are mismatched.Please use identical versions and re-login.</source>
        <translation>设备版本 %1 与控制软件版本 %2 不一致。请使用相同的版本并重新登录。</translation>
    </message>
    <message>
        <source>The log file could not be written: %1</source>
        <translation>无法写入日志文件：%1</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>保存文件</translation>
    </message>
    <message>
        <source>log (*.csv);;log(*.log)</source>
        <translation>日志 (*.csv);;日志 (*.log)</translation>
    </message>
    <message>
        <source>Init Socket Error.</source>
        <translation>初始化套接字出错。</translation>
    </message>
    <message>
        <source>Device is off-line.</source>
        <translation>设备离线。</translation>
    </message>
    <message>
        <source>Login failed. Please make sure the password is correct and the REM-CTRL key is pressed down while booting.</source>
        <translation>登录失败。请确认密码正确，并且启动时已按下 REM-CTRL 键。</translation>
    </message>
    <message>
        <source>The password is incorrect.</source>
        <translation>密码不正确。</translation>
    </message>
    <message>
        <source>CSV files go to %1</source>
        <translation>CSV 文件保存在 %1</translation>
    </message>
    <message>
        <source>Alarm rows of an unfinished session were recovered into %1</source>
        <translation>上次未正常结束的会话的告警记录已恢复到 %1</translation>
    </message>
    <message>
        <source>The password is not changed.</source>
        <translation>密码未修改。</translation>
    </message>
    <message>
        <source>The password has been changed.</source>
        <translation>密码已修改。</translation>
    </message>
    <message>
        <source>The parameters could not be written to the device.</source>
        <translation>参数未能写入设备。</translation>
    </message>
    <message>
        <source>The IP address is invalid.</source>
        <translation>IP地址无效。</translation>
    </message>
    <message>
        <source>The network parameters were not changed.</source>
        <translation>网络参数未被修改。</translation>
    </message>
    <message>
        <source>The new IP address will be used after reboot.</source>
        <translation>新的IP地址将在重启后生效。</translation>
    </message>
    <message>
        <source>Some rows are not saved in a file yet. Clear them anyway?</source>
        <translation>有些记录尚未保存到文件中。仍要清除吗？</translation>
    </message>
    <message>
        <source>The logs folder could not be opened: %1</source>
        <translation>无法打开日志文件夹：%1</translation>
    </message>
    <message>
        <source>Session ended</source>
        <translation>会话已结束</translation>
    </message>
    <message>
        <source>Connection restored</source>
        <translation>连接已恢复</translation>
    </message>
    <message>
        <source>%1 answers again.</source>
        <translation>%1 重新应答。</translation>
    </message>
    <message>
        <source>Connection lost</source>
        <translation>连接丢失</translation>
    </message>
    <message>
        <source>%1 does not answer.</source>
        <translation>%1 没有应答。</translation>
    </message>
    <message>
        <source>The device runs firmware %1, this tool %2.</source>
        <translation>设备固件版本为 %1，本软件版本为 %2。</translation>
    </message>
    <message>
        <source>Partner device lost</source>
        <translation>伙伴设备丢失</translation>
    </message>
    <message>
        <source>Remote ACO %1 does not answer.</source>
        <translation>远程 ACO %1 没有应答。</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>未连接</translation>
    </message>
    <message>
        <source>Connection lost since %1</source>
        <translation>连接自 %1 起丢失</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>已连接</translation>
    </message>
    <message>
        <source>%1 | %2 | %3 | Last answer: %4</source>
        <translation>%1 | %2 | %3 | 最后应答：%4</translation>
    </message>
    <message>
        <source>No answer since %1</source>
        <translation>自 %1 起无应答</translation>
    </message>
    <message>
        <source>Input LED red</source>
        <translation>输入 LED 变红</translation>
    </message>
</context>
<context>
    <name>DiveVodClass</name>
    <message>
        <source>Velmora ACO-GPIO Config</source>
        <translation>Velmora ACO-GPIO 配置</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>序号</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>输入</translation>
    </message>
    <message>
        <source>Alarm Type</source>
        <translation>告警类型</translation>
    </message>
    <message>
        <source>Alarm Status</source>
        <translation>告警状态</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>备注</translation>
    </message>
    <message>
        <source>Auto Save</source>
        <translation>自动保存</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>时间：</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>另存为...</translation>
    </message>
    <message>
        <source>&amp;Device</source>
        <translation>设备(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>语言(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>Import...</source>
        <translation>导入...</translation>
    </message>
    <message>
        <source>Export...</source>
        <translation>导出...</translation>
    </message>
    <message>
        <source>Config &amp;Network...</source>
        <translation>网络配置(&amp;N)...</translation>
    </message>
    <message>
        <source>&amp;Configure...</source>
        <translation>配置(&amp;C)...</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>关于(&amp;A)...</translation>
    </message>
    <message>
        <source>Config Pa&amp;rameter...</source>
        <translation>参数配置(&amp;R)...</translation>
    </message>
    <message>
        <source>Device &amp;Information...</source>
        <translation>设备信息(&amp;I)...</translation>
    </message>
    <message>
        <source>&amp;Connect...</source>
        <translation>连接(&amp;C)...</translation>
    </message>
    <message>
        <source>&amp;Disconnect...</source>
        <translation>断开连接(&amp;D)...</translation>
    </message>
    <message>
        <source>Change &amp;Password...</source>
        <translation>修改密码(&amp;P)...</translation>
    </message>
    <message>
        <source>Filter:</source>
        <translation>筛选：</translation>
    </message>
    <message>
        <source>Show only rows containing...</source>
        <translation>只显示包含此文字的记录...</translation>
    </message>
    <message>
        <source>Scroll down to the newest rows and follow them again</source>
        <translation>滚动到最新记录并继续跟随</translation>
    </message>
    <message>
        <source>Open &amp;Logs Folder</source>
        <translation>打开日志文件夹(&amp;L)</translation>
    </message>
    <message>
        <source>Desktop No&amp;tifications</source>
        <translation>桌面通知(&amp;T)</translation>
    </message>
</context>
<context>
    <name>General</name>
    <message>
        <source>Device Information</source>
        <translation>设备信息</translation>
    </message>
    <message>
        <source>Module Type:</source>
        <translation>模块类型：</translation>
    </message>
    <message>
        <source>Description:</source>
        <translation>描述：</translation>
    </message>
    <message>
        <source>Product SN:</source>
        <translation>产品序列号：</translation>
    </message>
    <message>
        <source>Running Mode:</source>
        <translation>运行模式：</translation>
    </message>
    <message>
        <source>Version Information </source>
        <translation>版本信息 </translation>
    </message>
    <message>
        <source>PCB Version:</source>
        <translation>PCB版本：</translation>
    </message>
    <message>
        <source>Firmware Version:</source>
        <translation>固件版本：</translation>
    </message>
    <message>
        <source>IP Information </source>
        <translation>IP信息 </translation>
    </message>
    <message>
        <source>IP Address:</source>
        <translation>IP地址：</translation>
    </message>
    <message>
        <source>Subnet Mask:</source>
        <translation>子网掩码：</translation>
    </message>
    <message>
        <source>Gateway:</source>
        <translation>网关：</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>GpioStatus2x1</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
    <message>
        <source>PS1</source>
        <translation>PS1</translation>
    </message>
    <message>
        <source>PS2</source>
        <translation>PS2</translation>
    </message>
    <message>
        <source>Group A</source>
        <translation>A 组</translation>
    </message>
    <message>
        <source>IN 1</source>
        <translation>输入 1</translation>
    </message>
    <message>
        <source>IN 2</source>
        <translation>输入 2</translation>
    </message>
    <message>
        <source>BYPASS</source>
        <translation>旁路</translation>
    </message>
    <message>
        <source>Group B</source>
        <translation>B 组</translation>
    </message>
    <message>
        <source>CONNECTION</source>
        <translation>连接</translation>
    </message>
    <message>
        <source>Local</source>
        <translation>本地</translation>
    </message>
    <message>
        <source>Remote</source>
        <translation>远程</translation>
    </message>
    <message>
        <source>MODE</source>
        <translation>模式</translation>
    </message>
    <message>
        <source>D2X1</source>
        <translation>D2X1</translation>
    </message>
    <message>
        <source>4X1</source>
        <translation>4X1</translation>
    </message>
    <message>
        <source>Others</source>
        <translation>其他</translation>
    </message>
    <message>
        <source>LOCK</source>
        <translation>锁定</translation>
    </message>
    <message>
        <source>AUTO MODE</source>
        <translation>自动模式</translation>
    </message>
    <message>
        <source>PHASE ALIGN</source>
        <translation>相位对齐</translation>
    </message>
    <message>
        <source>REM CTRL</source>
        <translation>远程控制</translation>
    </message>
    <message>
        <source>UPGRADE</source>
        <translation>升级</translation>
    </message>
    <message>
        <source>IP RESET</source>
        <translation>IP 复位</translation>
    </message>
</context>
<context>
    <name>GpioStatus4x1</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
    <message>
        <source>PS1</source>
        <translation>PS1</translation>
    </message>
    <message>
        <source>PS2</source>
        <translation>PS2</translation>
    </message>
    <message>
        <source>Group A</source>
        <translation>A 组</translation>
    </message>
    <message>
        <source>IN 1</source>
        <translation>输入 1</translation>
    </message>
    <message>
        <source>IN 2</source>
        <translation>输入 2</translation>
    </message>
    <message>
        <source>IN 3</source>
        <translation>输入 3</translation>
    </message>
    <message>
        <source>IN 4</source>
        <translation>输入 4</translation>
    </message>
    <message>
        <source>BYPASS</source>
        <translation>旁路</translation>
    </message>
    <message>
        <source>CONNECTION</source>
        <translation>连接</translation>
    </message>
    <message>
        <source>Local</source>
        <translation>本地</translation>
    </message>
    <message>
        <source>Remote</source>
        <translation>远程</translation>
    </message>
    <message>
        <source>MODE</source>
        <translation>模式</translation>
    </message>
    <message>
        <source>D2X1</source>
        <translation>D2X1</translation>
    </message>
    <message>
        <source>4X1</source>
        <translation>4X1</translation>
    </message>
    <message>
        <source>Others</source>
        <translation>其他</translation>
    </message>
    <message>
        <source>LOCK</source>
        <translation>锁定</translation>
    </message>
    <message>
        <source>AUTO MODE</source>
        <translation>自动模式</translation>
    </message>
    <message>
        <source>PHASE ALIGN</source>
        <translation>相位对齐</translation>
    </message>
    <message>
        <source>REM CTRL</source>
        <translation>远程控制</translation>
    </message>
    <message>
        <source>UPGRADE</source>
        <translation>升级</translation>
    </message>
    <message>
        <source>IP RESET</source>
        <translation>IP 复位</translation>
    </message>
</context>
<context>
    <name>LanguageConfig</name>
    <message>
        <source>Language Config</source>
        <translation>语言配置</translation>
    </message>
    <message>
        <source>Select Language:</source>
        <translation>选择语言：</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>中文</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>Login</name>
    <message>
        <source>Login</source>
        <translation>登录</translation>
    </message>
    <message>
        <source>IP Address:</source>
        <translation>IP地址：</translation>
    </message>
    <message>
        <source>192.168.1.100</source>
        <translation>192.168.1.100</translation>
    </message>
    <message>
        <source>User Name:</source>
        <translation>用户名：</translation>
    </message>
    <message>
        <source>admin</source>
        <translation>admin</translation>
    </message>
    <message>
        <source>guest</source>
        <translation>guest</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密码：</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>NetworkProperty</name>
    <message>
        <source>Network Property</source>
        <translation>网络属性</translation>
    </message>
    <message>
        <source>IP Address:</source>
        <translation>IP地址：</translation>
    </message>
    <message>
        <source>Subnet Mask:</source>
        <translation>子网掩码：</translation>
    </message>
    <message>
        <source>Gateway:</source>
        <translation>网关：</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>The IP address is invalid.</source>
        <translation>IP地址无效。</translation>
    </message>
    <message>
        <source>The subnet mask is invalid.</source>
        <translation>子网掩码无效。</translation>
    </message>
    <message>
        <source>The IP address and gateway should not be in different network segment.</source>
        <translation>IP地址和网关不应处于不同的网段。</translation>
    </message>
    <message>
        <source>The gateway is invalid.</source>
        <translation>网关无效。</translation>
    </message>
</context>
<context>
    <name>ParamCfg</name>
    <message>
        <source>The Remote ACO IP address is invalid.</source>
        <translation>远程ACO的IP地址无效。</translation>
    </message>
    <message>
        <source>The Remote ACO IP address is repeated.</source>
        <translation>远程ACO的IP地址重复。</translation>
    </message>
</context>
<context>
    <name>PassWordLineEdit</name>
    <message>
        <source>The Caps Lock is enabled.</source>
        <translation>大写锁定已打开。</translation>
    </message>
</context>
<context>
    <name>StatusPanelLogic</name>
    <message>
        <source>Off</source>
        <translation>熄灭</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>绿色</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>红色</translation>
    </message>
    <message>
        <source>Green Red Flashing</source>
        <translation>绿红闪烁</translation>
    </message>
    <message>
        <source>Green Flashing</source>
        <translation>绿色闪烁</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>禁用</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>启用</translation>
    </message>
    <message>
        <source>Flashing</source>
        <translation>闪烁</translation>
    </message>
    <message>
        <source>PS1</source>
        <translation>PS1</translation>
    </message>
    <message>
        <source>PS2</source>
        <translation>PS2</translation>
    </message>
    <message>
        <source>Local</source>
        <translation>本地</translation>
    </message>
    <message>
        <source>Remote</source>
        <translation>远程</translation>
    </message>
    <message>
        <source>D2X1</source>
        <translation>D2X1</translation>
    </message>
    <message>
        <source>4X1</source>
        <translation>4X1</translation>
    </message>
    <message>
        <source>Others</source>
        <translation>其他</translation>
    </message>
    <message>
        <source>LOCK</source>
        <translation>锁定</translation>
    </message>
    <message>
        <source>AUTO MODE</source>
        <translation>自动模式</translation>
    </message>
    <message>
        <source>PHASE ALIGN</source>
        <translation>相位对齐</translation>
    </message>
    <message>
        <source>REM CTRL</source>
        <translation>远程控制</translation>
    </message>
    <message>
        <source>UPGRADE</source>
        <translation>升级</translation>
    </message>
    <message>
        <source>IP RESET</source>
        <translation>IP 复位</translation>
    </message>
    <message>
        <source>%1 key</source>
        <translation>%1 按键</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>Group A IN 1</source>
        <translation>A 组 输入 1</translation>
    </message>
    <message>
        <source>Group A IN 2</source>
        <translation>A 组 输入 2</translation>
    </message>
    <message>
        <source>Group A BYPASS</source>
        <translation>A 组 旁路</translation>
    </message>
    <message>
        <source>Group B IN 1</source>
        <translation>B 组 输入 1</translation>
    </message>
    <message>
        <source>Group B IN 2</source>
        <translation>B 组 输入 2</translation>
    </message>
    <message>
        <source>Group B BYPASS</source>
        <translation>B 组 旁路</translation>
    </message>
    <message>
        <source>IN 1</source>
        <translation>输入 1</translation>
    </message>
    <message>
        <source>IN 2</source>
        <translation>输入 2</translation>
    </message>
    <message>
        <source>IN 3</source>
        <translation>输入 3</translation>
    </message>
    <message>
        <source>IN 4</source>
        <translation>输入 4</translation>
    </message>
    <message>
        <source>IN 5 (unused)</source>
        <translation>输入 5（未用）</translation>
    </message>
    <message>
        <source>BYPASS</source>
        <translation>旁路</translation>
    </message>
    <message>
        <source>The key press did not reach the device.</source>
        <translation>按键操作未送达设备。</translation>
    </message>
</context>
<context>
    <name>paramcfg</name>
    <message>
        <source>Config Parameter</source>
        <translation>参数配置</translation>
    </message>
    <message>
        <source>Key Function</source>
        <translation>按键功能</translation>
    </message>
    <message>
        <source>Lock:</source>
        <translation>锁定：</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>禁用</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>启用</translation>
    </message>
    <message>
        <source>Auto Mode:</source>
        <translation>自动模式：</translation>
    </message>
    <message>
        <source>Panel Type:</source>
        <translation>面板类型：</translation>
    </message>
    <message>
        <source>D2X1</source>
        <translation>D2X1</translation>
    </message>
    <message>
        <source>4X1</source>
        <translation>4X1</translation>
    </message>
    <message>
        <source>Remote ACO</source>
        <translation>远程ACO</translation>
    </message>
    <message>
        <source>Main Device</source>
        <translation>主设备</translation>
    </message>
    <message>
        <source>Slave Device 1</source>
        <translation>从设备1</translation>
    </message>
    <message>
        <source>Slave Device 2</source>
        <translation>从设备2</translation>
    </message>
    <message>
        <source>Slave Device 3</source>
        <translation>从设备3</translation>
    </message>
    <message>
        <source>IP Address</source>
        <translation>IP地址</translation>
    </message>
    <message>
        <source>Admin Password</source>
        <translation>管理员密码</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
</TS>
