// Main window figures, each beside a bare Qt baseline that runs in the same program:
//  - one status record with 20 changes appended to the alarm table at 1,000 and at 100,000 rows
//    (DiveVod::ChangedEntries and AppendAlarmRow, a scroll per row, events processed), against the same
//    rows appended to a bare QTableWidget with the same scrolling;
//  - heap memory per alarm row at 100,000 rows, against a bare QTableWidget holding the same texts;
//  - WriteLogFile of 100,000 rows, against QTextStream writing the same lines to the same disk;
//  - OnClear on 100,000 rows, against setRowCount(0) on the same table filled the same way;
//  - the alarm filter on 100,000 rows (typed into the filter field), against Qt's QSortFilterProxyModel
//    over the bare table;
//  - a login to a 2x1 simulator through the real dialog until the 19 full-state rows are in the table,
//    against the same requests sent and answered raw, one after the other.
#include "BenchSupport.h"
#include "HandFrames.h"
#include "LoginDriver.h"

#include "ChannelCaptions.h"
#include "DeviceSimulator.h"
#include "DiveVod.h"
#include "DiveVodResources.h"
#include "LanguageConfig.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextStream>

#include <arpa/inet.h>
#include <malloc.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

using namespace BenchSupport;

namespace {

const char kRowTimeFormat[] = "yyyy-MM-dd hh:mm:ss";

// Two records that differ in 20 logged items: both power supplies, both connection LEDs, the panel
// type (two rows), six channel LEDs, six keys, key lock and auto mode.
AcoGpioInfo quiet()
{
    AcoGpioInfo info;
    info.localLed = 1;
    info.remoteLed = 1;
    return info;
}

AcoGpioInfo busy()
{
    AcoGpioInfo info;
    info.ps1Led = true;
    info.ps2Led = true;
    info.localLed = 0;
    info.remoteLed = 2;
    info.panelType = 2;
    info.gpioGreenMask = 0x3F;
    info.keyMask = 0x3F;
    info.keyLock = true;
    info.autoMode = true;
    return info;
}

struct Fixture
{
    QTemporaryDir home;
    std::unique_ptr<LanguageConfig> language;
    std::unique_ptr<DiveVod> window;
    QTableWidget* table = nullptr;
    std::unique_ptr<QTableWidget> bare;
    int bareNumber = 1;
    bool flip = false;

    Fixture()
    {
        language.reset(new LanguageConfig(nullptr));
        window.reset(new DiveVod(language.get(), nullptr, Qt::WindowFlags()));
        window->SetLogsDirectory(home.path());
        window->show();
        table = window->findChild<QTableWidget*>(QStringLiteral("tableWidget"));
        // The same look as the alarm table where it changes the work per row: header labels, no row
        // numbers at the side, alternating colours, the same size.
        bare.reset(new QTableWidget(0, 6));
        bare->setHorizontalHeaderLabels({ QStringLiteral("Number"), QStringLiteral("Time"), QStringLiteral("Input"),
                                          QStringLiteral("Alarm Type"), QStringLiteral("Alarm Status"),
                                          QStringLiteral("Notes") });
        bare->verticalHeader()->setVisible(false);
        bare->setAlternatingRowColors(true);
        if (table)
            bare->resize(table->size());
        bare->show();
        QApplication::processEvents();
    }

    // The next record's rows, alternating between the two records so that every record has 20 changes.
    QVector<AlarmRecord> nextEntries()
    {
        flip = !flip;
        return flip ? DiveVod::ChangedEntries(quiet(), busy(), QDateTime::currentDateTime())
                    : DiveVod::ChangedEntries(busy(), quiet(), QDateTime::currentDateTime());
    }

    // The bare table's row: the same texts and flags as an alarm row, with the same scroll per row.
    void appendBare(const AlarmRecord& record)
    {
        const int row = bare->rowCount();
        bare->insertRow(row);
        const QString texts[] = { QString::number(bareNumber++),
                                  record.time.toString(QLatin1String(kRowTimeFormat)),
                                  record.input,
                                  record.alarmType,
                                  record.alarmStatus,
                                  record.notes };
        for (int column = 0; column < 6; ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            bare->setItem(row, column, item);
        }
        bare->scrollToItem(bare->item(row, 0), QAbstractItemView::PositionAtBottom);
    }

    void appendWindow(const QVector<AlarmRecord>& entries)
    {
        for (const AlarmRecord& record : entries)
            window->AppendAlarmRow(record);
        table->scrollToBottom();
    }
};

// Made on first use, gone before the application object.
std::unique_ptr<Fixture> g_fixture;

Fixture& fixture()
{
    if (!g_fixture)
        g_fixture.reset(new Fixture);
    return *g_fixture;
}

size_t heapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Grows (never shrinks) both tables to `rows`, hidden so that the fill is not a scrolling benchmark.
void fillTo(long rows, bool windowSide)
{
    Fixture& f = fixture();
    QWidget* shown = windowSide ? static_cast<QWidget*>(f.window.get()) : f.bare.get();
    shown->hide();
    while ((windowSide ? f.table->rowCount() : f.bare->rowCount()) < rows) {
        const QVector<AlarmRecord> entries = f.nextEntries();
        for (const AlarmRecord& record : entries) {
            if (windowSide)
                f.window->AppendAlarmRow(record);
            else
                f.appendBare(record);
        }
    }
    shown->show();
    QApplication::processEvents();
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// One record's rows appended per iteration; between iterations (untimed) the rows go again, so the
// table stays at its size. Manual time, so that the removal is not counted.
void appendBenchmark(benchmark::State& state, bool windowSide)
{
    Fixture& f = fixture();
    if (windowSide && !f.table)
        return fail(state, "the main window has no alarm table");
    fillTo(size(state.range(0), state.range(0) / 100), windowSide);
    QTableWidget* table = windowSide ? f.table : f.bare.get();
    const int rows = table->rowCount();
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (windowSide) {
            f.appendWindow(f.nextEntries());
        } else {
            const QVector<AlarmRecord> entries = f.nextEntries();
            for (const AlarmRecord& record : entries)
                f.appendBare(record);
            f.bare->scrollToBottom();
        }
        QApplication::processEvents();
        const double elapsed = secondsSince(start);
        state.SetIterationTime(elapsed);
        total += elapsed;
        if (table->rowCount() != rows + 20)
            return fail(state, "a record did not add 20 rows");
        table->setRowCount(rows);
        QApplication::processEvents();
    }
    const double nsPerRecord = state.iterations() ? total * 1e9 / double(state.iterations()) : 0;
    state.counters["rows"] = double(rows);
    state.counters["ns_per_row"] = nsPerRecord / 20;
    const std::string name = "append " + std::to_string(state.range(0));
    if (windowSide)
        setRatio(state, name, nsPerRecord);
    else
        recordBaseline(name, nsPerRecord);
}

void BM_AppendBare(benchmark::State& state)
{
    appendBenchmark(state, false);
}

void BM_AppendWindow(benchmark::State& state)
{
    appendBenchmark(state, true);
}

// Heap bytes per row while a table grows to 100,000 rows (hidden while it grows).
void memoryBenchmark(benchmark::State& state, bool windowSide)
{
    Fixture& f = fixture();
    const long rows = size(100000, 1000);
    QTableWidget* table = windowSide ? f.table : f.bare.get();
    for (auto _ : state) {
        table->setRowCount(0);
        QApplication::processEvents();
        malloc_trim(0);
        const size_t heapBefore = heapBytes();
        const long residentBefore = residentKiB();
        fillTo(rows, windowSide);
        const double added = double(table->rowCount());
        state.counters["heap_bytes_per_row"] = double(heapBytes() - heapBefore) / added;
        state.counters["resident_bytes_per_row"] = double(residentKiB() - residentBefore) * 1024.0 / added;
        state.counters["rows"] = added;
    }
    const double perRow = state.counters["heap_bytes_per_row"];
    if (windowSide)
        setRatio(state, "memory", perRow);
    else
        recordBaseline("memory", perRow);
}

void BM_MemoryBare(benchmark::State& state)
{
    memoryBenchmark(state, false);
}

void BM_MemoryWindow(benchmark::State& state)
{
    memoryBenchmark(state, true);
}

// The same lines as the window's CSV file, through a QTextStream on a QFile: header, then one line per row.
void BM_WriteBare(benchmark::State& state)
{
    Fixture& f = fixture();
    fillTo(size(100000, 1000), false);
    const QString path = f.home.filePath(QStringLiteral("bare.csv"));
    LoopClock clock;
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
            return fail(state, "cannot write " + path.toStdString());
        QTextStream out(&file);
        out << "Module Type,\nProduct SN,\nFirmware Verison,\nIP Address,\n \n \n"
            << "Number,Time,Input,Alarm Type,Alarm Status,Notes\n";
        const QTableWidget& table = *f.bare;
        for (int row = 0; row < table.rowCount(); ++row) {
            for (int column = 0; column < 6; ++column) {
                if (column > 0)
                    out << ',';
                if (const QTableWidgetItem* item = table.item(row, column))
                    out << item->text();
            }
            out << '\n';
        }
        out.flush();
        file.close();
    }
    state.counters["rows"] = double(f.bare->rowCount());
    recordBaseline("write", clock.nsPerIteration(state));
}

void BM_WriteWindow(benchmark::State& state)
{
    Fixture& f = fixture();
    fillTo(size(100000, 1000), true);
    const QString path = f.home.filePath(QStringLiteral("window.csv"));
    LoopClock clock;
    for (auto _ : state) {
        if (!f.window->WriteLogFile(path))
            return fail(state, "WriteLogFile failed");
    }
    state.counters["rows"] = double(f.table->rowCount());
    state.counters["file_bytes"] = double(QFile(path).size());
    setRatio(state, "write", clock.nsPerIteration(state));
}

// Rows without "led-in" left out (four of every twenty stay), then all shown again untimed. The baseline is
// Qt's own QSortFilterProxyModel attached to the bare table with the same filter (every column,
// case-insensitive fixed string), shown in a QTableView of the same size. (Changing the filter of an
// attached proxy removes the rows that go in intervals: seconds at this size, so both attach afresh.)
const QString kFilterText = QStringLiteral("led-in");

void filterBenchmark(benchmark::State& state, bool windowSide)
{
    Fixture& f = fixture();
    fillTo(size(100000, 1000), windowSide);
    QTableWidget* table = windowSide ? f.table : f.bare.get();
    auto* field = f.window->findChild<QLineEdit*>(QStringLiteral("lineEditFilter"));
    if (windowSide && !field)
        return fail(state, "the main window has no filter field");
    QSortFilterProxyModel proxy;
    proxy.setFilterKeyColumn(-1);
    proxy.setFilterCaseSensitivity(Qt::CaseInsensitive);
    QTableView bareView;
    if (!windowSide) {
        bareView.setModel(&proxy);
        bareView.resize(table->size());
        table->hide();
        bareView.show();
        QApplication::processEvents();
    }
    double total = 0;
    int shown = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (windowSide)
            field->setText(kFilterText);
        else
            proxy.setFilterFixedString(kFilterText), proxy.setSourceModel(table->model());
        QApplication::processEvents();
        const double elapsed = secondsSince(start);
        state.SetIterationTime(elapsed);
        total += elapsed;
        const auto* view = windowSide ? f.window->findChild<QTableView*>(QStringLiteral("tableViewFiltered")) : &bareView;
        shown = view && view->isVisible() ? view->model()->rowCount() : 0;
        if (shown == 0 || shown == table->rowCount())
            return fail(state, "the filter showed " + std::to_string(shown) + " rows");
        if (windowSide)
            field->clear();
        else
            proxy.setSourceModel(nullptr), proxy.setFilterFixedString(QString());
        QApplication::processEvents();
    }
    if (!windowSide) {
        bareView.hide();
        table->show();
    }
    const double ns = state.iterations() ? total * 1e9 / double(state.iterations()) : 0;
    state.counters["rows"] = double(table->rowCount());
    state.counters["shown"] = double(shown);
    if (windowSide)
        setRatio(state, "filter", ns);
    else
        recordBaseline("filter", ns);
}

void BM_FilterBare(benchmark::State& state)
{
    filterBenchmark(state, false);
}

void BM_FilterWindow(benchmark::State& state)
{
    filterBenchmark(state, true);
}

// One clear per iteration; the table is filled again between iterations (manual time). Both clear the
// window's own table, filled the same way: the baseline removes the rows with setRowCount(0) alone, so
// the ratio is what OnClear adds. (A separate bare table differs in its heap history and in what the
// repaint after the clear allocates, which decides whether the allocator's merging of the freed items
// falls inside the measured time.)
void clearBenchmark(benchmark::State& state, bool onClear)
{
    Fixture& f = fixture();
    const long rows = size(100000, 1000);
    double total = 0;
    for (auto _ : state) {
        fillTo(rows, true);
        const auto start = std::chrono::steady_clock::now();
        if (onClear)
            QMetaObject::invokeMethod(f.window.get(), "OnClear", Qt::DirectConnection);
        else
            f.table->setRowCount(0);
        QApplication::processEvents();
        const double elapsed = secondsSince(start);
        state.SetIterationTime(elapsed);
        total += elapsed;
        if (f.table->rowCount() != 0)
            return fail(state, "the table was not cleared");
        // Untimed: the journal, which setRowCount(0) left alone, mirrors the table again.
        if (!onClear)
            QMetaObject::invokeMethod(f.window.get(), "OnClear", Qt::DirectConnection);
    }
    const double ns = state.iterations() ? total * 1e9 / double(state.iterations()) : 0;
    state.counters["rows"] = double(rows);
    if (onClear)
        setRatio(state, "clear", ns);
    else
        recordBaseline("clear", ns);
}

void BM_ClearTable(benchmark::State& state)
{
    clearBenchmark(state, false);
}

void BM_ClearWindow(benchmark::State& state)
{
    clearBenchmark(state, true);
}

// The device the login benchmarks talk to: the window always uses port 33904, so the simulator takes a
// loopback address of its own.
const QString kLoginAddress = QStringLiteral("127.0.171.2");

DeviceSimulator& loginDevice()
{
    static DeviceSimulator* sim = [] {
        auto* started = new DeviceSimulator;
        started->start(kLoginAddress, 33904);
        return started;
    }();
    return *sim;
}

// The message types of a login in the order the window sends them, up to the last one before the
// monitors start: work mode, authentication, product information, versions, network parameters,
// status, key states.
const int kLoginTypes[] = { 3, 2, 5, 23, 26, 63, 62 };

void BM_LoginRaw(benchmark::State& state)
{
    DeviceSimulator& sim = loginDevice();
    if (sim.port() != 33904)
        return fail(state, "the login simulator could not bind " + kLoginAddress.toStdString() + ":33904");
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    timeval tv { 2, 0 };
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_port = htons(33904);
    ::inet_pton(AF_INET, kLoginAddress.toLatin1().constData(), &to.sin_addr);
    const quint8 credentials[] = { 5, 'a', 'd', 'm', 'i', 'n', 6, '1', '2', '3', '4', '5', '6' };
    quint16 sequence = 0;
    LoopClock clock;
    for (auto _ : state) {
        quint32 loginId = 0;
        for (int type : kLoginTypes) {
            quint8 frame[64];
            const bool login = type == 2;
            const int size
                = HandFrames::encodeRequest(frame, type, login ? 0 : loginId, ++sequence, login ? credentials : nullptr,
                                            login ? int(sizeof(credentials)) : 0);
            quint8 answer[1040];
            if (::sendto(fd, frame, size_t(size), 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to)) != size)
                break;
            const ssize_t received = ::recv(fd, answer, sizeof(answer), 0);
            if (received <= 0 || !HandFrames::isSuccessAnswer(answer, int(received))) {
                ::close(fd);
                return fail(state, "a raw login request got no valid answer (type " + std::to_string(type) + ")");
            }
            if (login)
                loginId = (quint32(answer[11]) << 24) | (quint32(answer[12]) << 16) | (quint32(answer[13]) << 8)
                    | answer[14];
        }
    }
    ::close(fd);
    state.counters["round_trips"] = double(std::size(kLoginTypes));
    recordBaseline("login", clock.nsPerIteration(state));
}

void BM_Login(benchmark::State& state)
{
    Fixture& f = fixture();
    DeviceSimulator& sim = loginDevice();
    if (sim.port() != 33904)
        return fail(state, "the login simulator could not bind " + kLoginAddress.toStdString() + ":33904");
    if (f.window->metaObject()->indexOfSlot("OnConnect()") < 0) {
        // A window without its Connect command yet: nothing to measure, and nothing broken.
        state.SkipWithError("the main window has no Connect command");
        return;
    }
    QMetaObject::invokeMethod(f.window.get(), "OnClear", Qt::DirectConnection);
    double total = 0;
    double dialogSeconds = 0;
    int frames = 0;
    for (auto _ : state) {
        sim.clearReceived();
        const auto start = std::chrono::steady_clock::now();
        qint64 typedAfter = 0;
        const bool driven = LoginDriver::connect(f.window.get(), kLoginAddress, QStringLiteral("123456"), &typedAfter);
        const double elapsed = secondsSince(start);
        state.SetIterationTime(elapsed);
        total += elapsed;
        dialogSeconds += double(typedAfter) / 1e9;
        if (!driven)
            return fail(state, "the main window has no Connect command or no login dialog came up");
        if (f.table->rowCount() != 19)
            return fail(state, "the login left " + std::to_string(f.table->rowCount()) + " rows, not 19");
        // The login's own requests: everything up to the first key-state request (the monitors come after).
        frames = 0;
        for (const DeviceSimulator::Received& frame : sim.received()) {
            ++frames;
            if (frame.type == 62)
                break;
        }
        if (!LoginDriver::disconnect(f.window.get()) || f.table->rowCount() != 0)
            return fail(state, "the disconnect after the login did not clear the table");
        QApplication::processEvents();
    }
    const double ns = state.iterations() ? total * 1e9 / double(state.iterations()) : 0;
    state.counters["round_trips"] = frames;
    // Of the whole: the time until the dialog was up and OK pressed.
    state.counters["dialog_ms"] = state.iterations() ? dialogSeconds * 1e3 / double(state.iterations()) : 0;
    setRatio(state, "login", ns);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings of its own: the window reads and writes the user's settings store.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    initDiveVodResources();
    initialise(&argc, argv);

    tune(benchmark::RegisterBenchmark("login/raw", BM_LoginRaw))->Unit(benchmark::kMillisecond);
    tune(benchmark::RegisterBenchmark("login/window", BM_Login))
        ->Iterations(smoke() ? 1 : 20)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    const auto append = [](long rows) {
        tune(benchmark::RegisterBenchmark("append/bare", BM_AppendBare))->Arg(rows)->UseManualTime();
        tune(benchmark::RegisterBenchmark("append/window", BM_AppendWindow))->Arg(rows)->UseManualTime();
    };
    // Memory, writing and clearing work on 100,000 rows: one pass each is the figure. The memory pass
    // fills both tables to that size for the figures after it.
    const auto once = [](benchmark::internal::Benchmark* b) { return b->Iterations(1)->Repetitions(1); };
    append(1000);
    once(benchmark::RegisterBenchmark("memory/bare", BM_MemoryBare));
    once(benchmark::RegisterBenchmark("memory/window", BM_MemoryWindow));
    append(100000);
    tune(benchmark::RegisterBenchmark("write/bare", BM_WriteBare))->Unit(benchmark::kMillisecond);
    tune(benchmark::RegisterBenchmark("write/window", BM_WriteWindow))->Unit(benchmark::kMillisecond);
    tune(benchmark::RegisterBenchmark("filter/bare", BM_FilterBare))->UseManualTime()->Unit(benchmark::kMillisecond);
    tune(benchmark::RegisterBenchmark("filter/window", BM_FilterWindow))->UseManualTime()->Unit(benchmark::kMillisecond);
    // Last: a clear empties the table, and filling 100,000 rows again takes far longer than the clear.
    // One clear per repetition, so the repetitions' median stands for it (a single clear is at the mercy of the disk).
    tune(benchmark::RegisterBenchmark("clear/table", BM_ClearTable))->Iterations(1)->UseManualTime();
    tune(benchmark::RegisterBenchmark("clear/window", BM_ClearWindow))->Iterations(1)->UseManualTime();
    const int status = run();
    g_fixture.reset();
    loginDevice().stop();
    return status;
}
