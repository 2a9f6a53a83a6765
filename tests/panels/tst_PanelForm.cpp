// The two panel forms: object names, captions, sizes, layouts, style sheets, meta-objects and
// retranslation.
#include "DiveVodResources.h"
#include "GPIOStatus2x1.h"
#include "GPIOStatus4x1.h"
#include "PanelFixture.h"
#include "PanelStyles.h"
#include "ui_GPIOStatus2x1.h"
#include "ui_GPIOStatus4x1.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaMethod>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QTranslator>
#include <QVBoxLayout>
#include <QtTest>

namespace {

const QStringList LedNames
    = { "labelPS1", "labelPS2",   "labelIN1",    "labelIN2", "labelIN3", "labelIN4",   "labelIN5",
        "labelIN6", "labelLocal", "labelRemote", "label2x1", "label4x1", "labelOthers" };
const QStringList InputKeys
    = { "pushButtonIN1", "pushButtonIN2", "pushButtonIN3", "pushButtonIN4", "pushButtonIN5", "pushButtonIN6" };
const QStringList FunctionKeys = { "pushButtonLock",    "pushButtonAutoMode", "pushButtonPhaseAlign",
                                   "pushButtonRemCtrl", "pushButtonUpgrade",  "pushButtonIpReset" };

// Captions common to both forms.
QList<QPair<QString, QString>> commonCaptions()
{
    return { { "label_3", "PS1" },       { "label_16", "PS2" },       { "label", "IN 1" },
             { "label_5", "IN 2" },      { "label_13", "BYPASS" },    { "label_17", "CONNECTION" },
             { "label_20", "Local" },    { "label_21", "Remote" },    { "label_22", "MODE" },
             { "label_25", "D2X1" },     { "label_26", "4X1" },       { "label_28", "Others" },
             { "label_29", "LOCK" },     { "label_30", "AUTO MODE" }, { "label_34", "PHASE ALIGN" },
             { "label_31", "REM CTRL" }, { "label_32", "UPGRADE" },   { "label_33", "IP RESET" } };
}

QList<QPair<QString, QString>> captions(const QString& kind)
{
    QList<QPair<QString, QString>> list = commonCaptions();
    if (kind == QLatin1String("2x1")) {
        list += { { "label_6", "BYPASS" }, { "label_2", "IN 1" }, { "label_11", "IN 2" } };
    } else {
        list += { { "label_2", "IN 3" }, { "label_11", "IN 4" }, { "label_6", "" } };
    }
    return list;
}

// Parses "Sel{a: b; c: d}Sel2{...}" into selector -> property -> value.
QMap<QString, QMap<QString, QString>> parseRules(const QString& sheet)
{
    QMap<QString, QMap<QString, QString>> rules;
    const QRegularExpression rule(QStringLiteral("([^{}]+)\\{([^{}]*)\\}"));
    auto it = rule.globalMatch(sheet);
    while (it.hasNext()) {
        const auto m = it.next();
        QMap<QString, QString> props;
        for (const QString& decl : m.captured(2).split(';', Qt::SkipEmptyParts)) {
            const int colon = decl.indexOf(':');
            if (colon > 0) {
                props.insert(decl.left(colon).trimmed(), decl.mid(colon + 1).trimmed());
            }
        }
        rules.insert(m.captured(1).trimmed(), props);
    }
    return rules;
}

// A translator that marks every text of one context, to see which context the forms use.
class MarkingTranslator : public QTranslator
{
public:
    explicit MarkingTranslator(const char* context)
        : context(context)
    {
    }
    bool isEmpty() const override { return false; }
    QString translate(const char* ctx, const char* source, const char* = nullptr, int = -1) const override
    {
        if (qstrcmp(ctx, context) != 0 || !source || !*source) {
            return QString();
        }
        return QStringLiteral("<%1>").arg(QString::fromUtf8(source));
    }

private:
    QByteArray context;
};

} // namespace

class TestPanelForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void styleConstants();
    void ledImagesAreCompiledIn();
    void formIdentity_data();
    void formIdentity();
    void captions_data();
    void captions();
    void ledsAndKeys_data();
    void ledsAndKeys();
    void inputKeysEnabledInForm_data();
    void inputKeysEnabledInForm();
    void groupBoxes_data();
    void groupBoxes();
    void layouts_data();
    void layouts();
    void twoByOneColumns();
    void fourByOneColumns();
    void metaObject_data();
    void metaObject();
    void retranslatesOnLanguageChange_data();
    void retranslatesOnLanguageChange();
    void setABKeysEnabled_data();
    void setABKeysEnabled();
};

void TestPanelForm::initTestCase()
{
    initDiveVodResources();
}

void TestPanelForm::cleanupTestCase()
{
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestPanelForm::styleConstants()
{
    QCOMPARE(LED_GRAY, QStringLiteral("QLabel{border-image: url(:/DiveVod/Resources/gray.png)}"));
    QCOMPARE(LED_GREEN, QStringLiteral("QLabel{border-image: url(:/DiveVod/Resources/green.png)}"));
    QCOMPARE(LED_RED, QStringLiteral("QLabel{border-image: url(:/DiveVod/Resources/red.png)}"));
    QCOMPARE(LED_YELLOW, QStringLiteral("QLabel{border-image: url(:/DiveVod/Resources/yellow.png)}"));

    struct Expected
    {
        const QString* sheet;
        QString borderColor, background, pressedBackground;
    };
    const Expected keys[] = { { &KEY_IDLE, "rgb(50,50,50)", "rgb(100,100,100)", "rgb(105,105,105)" },
                              { &KEY_ACTIVE, "rgb(225,225,0)", "rgb(255,255,255)", "rgb(250,250,250)" } };
    for (const Expected& key : keys) {
        const auto rules = parseRules(*key.sheet);
        QCOMPARE(rules.keys(), QStringList({ "QPushButton", "QPushButton:pressed" }));
        for (const QString& selector : rules.keys()) {
            const bool pressed = selector.endsWith(QLatin1String(":pressed"));
            const QMap<QString, QString> props = rules.value(selector);
            QCOMPARE(props.size(), 6);
            QCOMPARE(props.value("border-width"), QStringLiteral("3px"));
            QCOMPARE(props.value("border-radius"), QStringLiteral("10px"));
            QCOMPARE(props.value("padding"), QStringLiteral("2px 2px"));
            QCOMPARE(props.value("border-color"), key.borderColor);
            QCOMPARE(props.value("background-color"), pressed ? key.pressedBackground : key.background);
            QCOMPARE(props.value("border-style"), pressed ? QStringLiteral("inset") : QStringLiteral("outset"));
        }
    }
}

void TestPanelForm::ledImagesAreCompiledIn()
{
    for (const char* name : { "gray", "green", "red", "yellow" }) {
        const QPixmap image(QStringLiteral(":/DiveVod/Resources/%1.png").arg(QLatin1String(name)));
        QVERIFY2(!image.isNull(), name);
        QCOMPARE(image.size(), QSize(32, 32));
        QVERIFY(image.hasAlphaChannel());
    }
}

void TestPanelForm::formIdentity_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::newRow("2x1") << "2x1"
                         << "GpioStatus2x1" << QSize(1162, 180);
    QTest::newRow("4x1") << "4x1"
                         << "GpioStatus4x1" << QSize(1183, 180);
}

void TestPanelForm::formIdentity()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(QSize, size);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    QCOMPARE(p.widget->objectName(), name);
    QCOMPARE(p.widget->windowTitle(), QStringLiteral("Form"));
    QCOMPARE(p.widget->size(), size);
    QCOMPARE(p.widget->metaObject()->superClass(), &QWidget::staticMetaObject);
}

void TestPanelForm::captions_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("text");
    for (const QString& kind : QStringList { "2x1", "4x1" }) {
        for (const auto& c : ::captions(kind)) {
            QTest::addRow("%s %s", qPrintable(kind), qPrintable(c.first)) << kind << c.first << c.second;
        }
    }
}

void TestPanelForm::captions()
{
    QFETCH(QString, kind);
    QFETCH(QString, object);
    QFETCH(QString, text);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    auto* label = p.widget->findChild<QLabel*>(object);
    QVERIFY(label);
    QCOMPARE(label->text(), text);
}

void TestPanelForm::ledsAndKeys_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("2x1") << "2x1";
    QTest::newRow("4x1") << "4x1";
}

void TestPanelForm::ledsAndKeys()
{
    QFETCH(QString, kind);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    for (const QString& name : LedNames) {
        auto* led = p.widget->findChild<QLabel*>(name);
        QVERIFY2(led, qPrintable(name));
        QCOMPARE(led->minimumSize(), QSize(25, 25));
        QCOMPARE(led->maximumSize(), QSize(25, 25));
        QVERIFY(led->text().isEmpty());
    }
    for (const QString& name : InputKeys + FunctionKeys) {
        auto* key = p.widget->findChild<QPushButton*>(name);
        QVERIFY2(key, qPrintable(name));
        QCOMPARE(key->minimumSize(), QSize(50, 50));
        QVERIFY(key->text().isEmpty());
        QVERIFY(key->isCheckable());
    }
    for (const QString& name : FunctionKeys) {
        QVERIFY2(!p.widget->findChild<QPushButton*>(name)->isEnabled(), qPrintable(name));
    }
    // Nothing else in the form is a button: the input and function keys are all there is.
    QCOMPARE(p.widget->findChildren<QPushButton*>().size(), 12);
    QCOMPARE(p.widget->findChildren<QLabel*>().size(), LedNames.size() + ::captions(kind).size());
}

void TestPanelForm::inputKeysEnabledInForm_data()
{
    ledsAndKeys_data();
}

void TestPanelForm::inputKeysEnabledInForm()
{
    QFETCH(QString, kind);
    // The form alone, before the panel's ResetStatus disables the keys.
    QWidget host;
    if (kind == QLatin1String("2x1")) {
        Ui::GpioStatus2x1 ui;
        ui.setupUi(&host);
    } else {
        Ui::GpioStatus4x1 ui;
        ui.setupUi(&host);
    }
    for (const QString& name : InputKeys) {
        QVERIFY2(host.findChild<QPushButton*>(name)->isEnabled(), qPrintable(name));
    }
    for (const QString& name : FunctionKeys) {
        QVERIFY2(!host.findChild<QPushButton*>(name)->isEnabled(), qPrintable(name));
    }
}

void TestPanelForm::groupBoxes_data()
{
    ledsAndKeys_data();
}

void TestPanelForm::groupBoxes()
{
    QFETCH(QString, kind);
    PanelUnderTest p = PanelUnderTest::Make(kind);

    auto* outer = p.widget->findChild<QGroupBox*>("groupBox_5");
    QVERIFY(outer);
    QVERIFY(outer->title().isEmpty());
    QCOMPARE(outer->minimumHeight(), 180);
    QCOMPARE(outer->maximumHeight(), 180);
    const auto outerRules = parseRules(outer->styleSheet());
    QCOMPARE(outerRules.keys(), QStringList({ "QGroupBox#groupBox_5" }));
    const auto outerProps = outerRules.value("QGroupBox#groupBox_5");
    QCOMPARE(outerProps.value("background-color"), QStringLiteral("rgba(134, 134, 134, 150)"));
    QCOMPARE(outerProps.value("border-radius"), QStringLiteral("6px"));
    QCOMPARE(outerProps.value("padding"), QStringLiteral("2px 4px"));

    QStringList inputGroups = { "groupBox" };
    if (kind == QLatin1String("2x1")) {
        inputGroups << "groupBox_2";
        QCOMPARE(p.widget->findChild<QGroupBox*>("groupBox_2")->title(), QStringLiteral("Group B"));
    } else {
        QVERIFY(!p.widget->findChild<QGroupBox*>("groupBox_2"));
    }
    QCOMPARE(p.widget->findChild<QGroupBox*>("groupBox")->title(), QStringLiteral("Group A"));
    for (const QString& name : inputGroups) {
        const auto rules = parseRules(p.widget->findChild<QGroupBox*>(name)->styleSheet());
        QCOMPARE(rules.value("QGroupBox").value("border"), QStringLiteral("2px dotted lightGray"));
        QCOMPARE(rules.value("QGroupBox").value("border-radius"), QStringLiteral("4px"));
        QCOMPARE(rules.value("QGroupBox").value("margin-top"), QStringLiteral("5ex"));
        QCOMPARE(rules.value("QGroupBox::title").value("subcontrol-origin"), QStringLiteral("margin"));
        QCOMPARE(rules.value("QGroupBox::title").value("subcontrol-position"), QStringLiteral("top center"));
    }
    for (const char* name : { "groupBox_3", "groupBox_4" }) {
        auto* box = p.widget->findChild<QGroupBox*>(name);
        QVERIFY(box);
        QVERIFY(box->title().isEmpty());
        const auto rules = parseRules(box->styleSheet());
        QCOMPARE(rules.value("QGroupBox").value("border"), QStringLiteral("2px dotted lightGray"));
        QCOMPARE(rules.value("QGroupBox").value("border-radius"), QStringLiteral("4px"));
    }
    auto* connection = p.widget->findChild<QGroupBox*>("groupBox_3");
    QCOMPARE(p.widget->findChild<QLabel*>("labelLocal")->parentWidget(), connection);
    QCOMPARE(p.widget->findChild<QLabel*>("labelRemote")->parentWidget(), connection);
    auto* mode = p.widget->findChild<QGroupBox*>("groupBox_4");
    for (const char* name : { "label2x1", "label4x1", "labelOthers" }) {
        QCOMPARE(p.widget->findChild<QLabel*>(name)->parentWidget(), mode);
    }
}

void TestPanelForm::layouts_data()
{
    ledsAndKeys_data();
}

void TestPanelForm::layouts()
{
    QFETCH(QString, kind);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    const QString top = kind == QLatin1String("2x1") ? "verticalLayout_22" : "verticalLayout_5";
    auto* vertical = qobject_cast<QVBoxLayout*>(p.widget->layout());
    QVERIFY(vertical);
    QCOMPARE(vertical->objectName(), top);
    QCOMPARE(vertical->contentsMargins(), QMargins(0, 0, 0, 0));
    QCOMPARE(vertical->count(), 1);
    QCOMPARE(vertical->itemAt(0)->widget()->objectName(), QStringLiteral("groupBox_5"));

    auto* row = qobject_cast<QHBoxLayout*>(p.widget->findChild<QGroupBox*>("groupBox_5")->layout());
    QVERIFY(row);
    QCOMPARE(row->objectName(), QStringLiteral("horizontalLayout_8"));
    const bool twoByOne = kind == QLatin1String("2x1");
    // PS block, spacer, inputs/connection/mode, [spacer,] function keys, expanding spacer.
    QCOMPARE(row->count(), twoByOne ? 6 : 5);
    QCOMPARE(row->itemAt(0)->layout()->objectName(), QStringLiteral("gridLayout_3"));
    QVERIFY(row->itemAt(1)->spacerItem());
    if (twoByOne) {
        QCOMPARE(row->itemAt(1)->sizeHint(), QSize(30, 20));
        QCOMPARE(row->itemAt(1)->spacerItem()->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    }
    QCOMPARE(row->itemAt(2)->layout()->objectName(), QStringLiteral("horizontalLayout_7"));
    const int keysAt = twoByOne ? 4 : 3;
    if (twoByOne) {
        QVERIFY(row->itemAt(3)->spacerItem());
    }
    QCOMPARE(row->itemAt(keysAt)->layout()->objectName(), QStringLiteral("gridLayout_4"));
    QSpacerItem* last = row->itemAt(keysAt + 1)->spacerItem();
    QVERIFY(last);
    QCOMPARE(last->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);

    auto* middle = p.widget->findChild<QHBoxLayout*>("horizontalLayout_7");
    QVERIFY(p.widget->findChild<QFormLayout*>("formLayout"));
    QVERIFY(p.widget->findChild<QFormLayout*>("formLayout_2"));
    QCOMPARE(middle->count(), twoByOne ? 4 : 3);
    int at = 0;
    QCOMPARE(middle->itemAt(at++)->widget()->objectName(), QStringLiteral("groupBox"));
    if (twoByOne) {
        QCOMPARE(middle->itemAt(at++)->widget()->objectName(), QStringLiteral("groupBox_2"));
    }
    QCOMPARE(middle->itemAt(at++)->layout()->objectName(), QStringLiteral("formLayout"));
    QCOMPARE(middle->itemAt(at++)->layout()->objectName(), QStringLiteral("formLayout_2"));

    // Function keys: captions over buttons in row 0, buttons over captions in row 1.
    auto* keys = p.widget->findChild<QGridLayout*>("gridLayout_4");
    QVERIFY(keys);
    const QString rows[2][3]
        = { { "label_29 pushButtonLock", "label_30 pushButtonAutoMode", "label_34 pushButtonPhaseAlign" },
            { "pushButtonRemCtrl label_31", "pushButtonUpgrade label_32", "pushButtonIpReset label_33" } };
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 3; ++c) {
            QLayout* cell = keys->itemAtPosition(r, c)->layout();
            QVERIFY(cell);
            QStringList names;
            for (int i = 0; i < cell->count(); ++i) {
                names << cell->itemAt(i)->widget()->objectName();
            }
            QCOMPARE(names.join(' '), rows[r][c]);
        }
    }

    // The PS block: each LED with its caption on its right.
    auto* ps = p.widget->findChild<QGridLayout*>("gridLayout_3");
    QCOMPARE(ps->itemAtPosition(0, 0)->widget()->objectName(), QStringLiteral("labelPS1"));
    QCOMPARE(ps->itemAtPosition(0, 1)->widget()->objectName(), QStringLiteral("label_3"));
    QCOMPARE(ps->itemAtPosition(1, 0)->widget()->objectName(), QStringLiteral("labelPS2"));
    QCOMPARE(ps->itemAtPosition(1, 1)->widget()->objectName(), QStringLiteral("label_16"));
}

void TestPanelForm::twoByOneColumns()
{
    // Each input column: LED on top, key below, caption at the bottom; seen on screen by position.
    GPIOStatus2x1 panel(nullptr);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    const char* columns[6][3]
        = { { "labelIN1", "pushButtonIN1", "label" },    { "labelIN2", "pushButtonIN2", "label_5" },
            { "labelIN3", "pushButtonIN3", "label_6" },  { "labelIN4", "pushButtonIN4", "label_2" },
            { "labelIN5", "pushButtonIN5", "label_11" }, { "labelIN6", "pushButtonIN6", "label_13" } };
    int previousX = -1;
    for (int i = 0; i < 6; ++i) {
        QWidget* led = panel.findChild<QWidget*>(columns[i][0]);
        QWidget* key = panel.findChild<QWidget*>(columns[i][1]);
        QWidget* caption = panel.findChild<QWidget*>(columns[i][2]);
        const QString box = i < 3 ? "groupBox" : "groupBox_2";
        QCOMPARE(led->parentWidget()->objectName(), box);
        QCOMPARE(key->parentWidget()->objectName(), box);
        QCOMPARE(caption->parentWidget()->objectName(), box);
        const QRect l = led->geometry(), k = key->geometry(), c = caption->geometry();
        QVERIFY(l.bottom() < k.top());
        QVERIFY(k.bottom() < c.top());
        QVERIFY(qAbs(l.center().x() - k.center().x()) <= 1);
        const int x = led->mapTo(&panel, QPoint(0, 0)).x();
        QVERIFY(x > previousX);
        previousX = x;
    }
    panel.close();
}

void TestPanelForm::fourByOneColumns()
{
    GPIOStatus4x1 panel(nullptr);
    auto* grid = panel.findChild<QGridLayout*>("gridLayout");
    QVERIFY(grid);
    QCOMPARE(grid->parentWidget()->objectName(), QStringLiteral("groupBox"));
    const char* columns[6][3]
        = { { "labelIN1", "pushButtonIN1", "label" },   { "labelIN2", "pushButtonIN2", "label_5" },
            { "labelIN3", "pushButtonIN3", "label_2" }, { "labelIN4", "pushButtonIN4", "label_11" },
            { "labelIN5", "pushButtonIN5", "label_6" }, { "labelIN6", "pushButtonIN6", "label_13" } };
    int previousColumn = -1;
    for (const auto& column : columns) {
        int row = -1, col = -1, rowSpan = 0, colSpan = 0;
        for (int r = 0; r < 3; ++r) {
            const int index = grid->indexOf(panel.findChild<QWidget*>(column[r]));
            QVERIFY2(index >= 0, column[r]);
            int thisCol = 0;
            grid->getItemPosition(index, &row, &thisCol, &rowSpan, &colSpan);
            QCOMPARE(row, r);
            if (r == 0) {
                col = thisCol;
            }
            QCOMPARE(thisCol, col);
        }
        QVERIFY(col > previousColumn);
        previousColumn = col;
    }
}

void TestPanelForm::metaObject_data()
{
    ledsAndKeys_data();
}

void TestPanelForm::metaObject()
{
    QFETCH(QString, kind);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    const QMetaObject* mo = p.widget->metaObject();
    QCOMPARE(QString::fromLatin1(mo->className()), kind == QLatin1String("2x1") ? "GPIOStatus2x1" : "GPIOStatus4x1");
    QCOMPARE(mo->methodCount() - mo->methodOffset(), 3);
    const QMetaMethod signal = mo->method(mo->methodOffset());
    const QMetaMethod recv = mo->method(mo->methodOffset() + 1);
    const QMetaMethod press = mo->method(mo->methodOffset() + 2);
    QCOMPARE(signal.methodSignature(), QByteArray("RemoteABKey(int)"));
    QCOMPARE(signal.methodType(), QMetaMethod::Signal);
    QCOMPARE(recv.methodSignature(), QByteArray("OnRecvStatusInfo(AcoGpioInfo)"));
    QCOMPARE(recv.methodType(), QMetaMethod::Slot);
    QCOMPARE(recv.parameterNames(), QList<QByteArray>({ "info" }));
    QCOMPARE(press.methodSignature(), QByteArray("OnSetABKeyState()"));
    QCOMPARE(press.methodType(), QMetaMethod::Slot);
}

void TestPanelForm::retranslatesOnLanguageChange_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("context");
    QTest::newRow("2x1") << "2x1" << QByteArray("GpioStatus2x1");
    QTest::newRow("4x1") << "4x1" << QByteArray("GpioStatus4x1");
}

void TestPanelForm::retranslatesOnLanguageChange()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, context);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    MarkingTranslator translator(context.constData());
    QVERIFY(QCoreApplication::installTranslator(&translator));
    // installTranslator posts the language change; the panel applies it when the event arrives.
    QTRY_COMPARE(p.widget->findChild<QLabel*>("label_3")->text(), QStringLiteral("<PS1>"));
    for (const auto& c : ::captions(kind)) {
        const QString expected = c.second.isEmpty() ? QString() : QStringLiteral("<%1>").arg(c.second);
        QCOMPARE(p.widget->findChild<QLabel*>(c.first)->text(), expected);
    }
    QCOMPARE(p.widget->findChild<QGroupBox*>("groupBox")->title(), QStringLiteral("<Group A>"));
    // Another panel's context is not this one's.
    MarkingTranslator other(kind == QLatin1String("2x1") ? "GpioStatus4x1" : "GpioStatus2x1");
    QCoreApplication::removeTranslator(&translator);
    QVERIFY(QCoreApplication::installTranslator(&other));
    QTRY_COMPARE(p.widget->findChild<QLabel*>("label_3")->text(), QStringLiteral("PS1"));
    QCoreApplication::removeTranslator(&other);
    // Translation changes texts only: the look stays disconnected.
    QCOMPARE(p.style("labelPS1"), LED_GRAY);
}

void TestPanelForm::setABKeysEnabled_data()
{
    ledsAndKeys_data();
}

void TestPanelForm::setABKeysEnabled()
{
    QFETCH(QString, kind);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    for (const QString& name : InputKeys) {
        QVERIFY(!p.button(name)->isEnabled());
    }
    p.setKeysEnabled(true);
    for (const QString& name : InputKeys) {
        QVERIFY(p.button(name)->isEnabled());
    }
    for (const QString& name : FunctionKeys) {
        QVERIFY(!p.button(name)->isEnabled());
    }
    p.setKeysEnabled(false);
    for (const QString& name : InputKeys) {
        QVERIFY(!p.button(name)->isEnabled());
    }
}

QTEST_MAIN(TestPanelForm)
#include "tst_PanelForm.moc"
