// The controls of the "SystemControls" page and where they stand.  The
// behaviour behind them is in settingspage.cpp.

#include "settings/settingspage.h"

#include "window/mainwindow.h"
#include "common/hint.h"

#include <QCheckBox>
#include <QFont>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

struct NumberCaption {
    SystemBlock::Field field;
    const char *caption;
    const char *labelHint; // may be empty
    const char *boxHint;   // may be empty
};
constexpr char kRingHint[] = "Total RingOutTime = NoAnswerTime Plus RingDetectDelay";
constexpr NumberCaption kNumberCaptions[] = {
    {SystemBlock::Ml, "Mic level (0-15)", "", "0 or 15"},
    {SystemBlock::Sl, "Speaker level (0-15)", "", "0 -15"},
    {SystemBlock::Rt, "Relay on time (1-99s)", "1 to 99 seconds", "1 to 99"},
    {SystemBlock::Run, "Run Timer (1-99m)", "Conversation timer (1 to 99minutes)", "1 to 99"},
    {SystemBlock::Rc, "Auto-Answer Ring count", "1 to 30 counts", "2 to 30"},
    {SystemBlock::Sil, "Silence Detect (sec)", "Seconds of Silence Detect (0=off)", ""},
    {SystemBlock::Cont, "Continuous Tone Detect (0.1s)", "Enter value in 0.1 second intervals (0=off)",
     "IE 20= 2.0 seconds"},
    {SystemBlock::Rv, "Ring Volume (0-7)", "", "0 - 7"},
    {SystemBlock::Na, "NoAnswerTime(10-99s)", kRingHint, "10 to 99"},
    {SystemBlock::Lt, "Lift Relay time (m)", "Used with 'lift control' units and 'No Bill' units (1 to 9minutes)",
     "0 to 9"},
    {SystemBlock::Rd, "RingDetectDelay", kRingHint, "3 to 15"},
    {SystemBlock::But, "Button on time (s)  NB: for push button models",
     "Used on models fitted with Speed dial buttons (1 to 15 seconds)", "1 to 15"},
    {SystemBlock::Ls, "LCD Scroll Speed", "Message scrolling speed (1 to 50) ", "0 to 50"},
};

QString latin(const char *text) { return QString::fromLatin1(text); }

// A width that holds `chars` characters of the box's font, with its frame.
int boxWidth(const QLineEdit *box, int chars)
{
    return box->fontMetrics().horizontalAdvance(QLatin1Char('0')) * chars + 14;
}

QLineEdit *makeBox(QWidget *parent, const QString &name, int maxLength, int widthChars)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    box->setFixedWidth(boxWidth(box, widthChars));
    return box;
}

// A label named as the box it stands for; a screen reader announces the box
// by it.
QLabel *makeLabel(QWidget *parent, const QString &caption, QWidget *buddy, const QString &hint = {})
{
    auto *label = new QLabel(caption, parent);
    if (buddy) {
        label->setBuddy(buddy);
        buddy->setAccessibleName(caption.trimmed());
    }
    if (!hint.isEmpty())
        SetHint(label, hint);
    return label;
}

template <class Button>
Button *makeButton(QWidget *parent, const char *name, const QString &caption, const QString &hint = {})
{
    auto *button = new Button(caption, parent);
    button->setObjectName(latin(name));
    if (!hint.isEmpty())
        SetHint(button, hint);
    return button;
}

QHBoxLayout *buttonRow(QPushButton *read, QPushButton *write)
{
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(read);
    row->addWidget(write);
    return row;
}

QVBoxLayout *pageLayout(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 8, 8, 6);
    layout->setSpacing(6);
    return layout;
}

QGroupBox *makeGroup(QWidget *parent, const QString &title, const char *name = "")
{
    auto *group = new QGroupBox(title, parent);
    if (*name)
        group->setObjectName(latin(name));
    return group;
}

QFont boldFont(const QWidget *w)
{
    QFont font = w->font();
    font.setBold(true);
    return font;
}

} // namespace

void SettingsPage::buildControls()
{
    QWidget *page = m_form.system;
    auto *layout = new QHBoxLayout(page);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(6);

    GroupBox1 = makeGroup(page, QStringLiteral("Operating Parameters"), "GroupBox1");
    auto *paramLayout = new QVBoxLayout(GroupBox1);
    paramLayout->setContentsMargins(4, 4, 4, 4);
    PhParam = new QTabWidget(GroupBox1);
    PhParam->setObjectName(QStringLiteral("PhParam"));
    // Six sub-pages side by side, all captions in view.
    PhParam->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 9px; }"));
    paramLayout->addWidget(PhParam);
    struct Sheet {
        QWidget **page;
        const char *name;
        const char *caption;
    };
    const Sheet sheets[] = {{&Phset, "Phset", "Setting"},          {&phopt, "phopt", "Options"},
                            {&TabSheet2, "TabSheet2", "RelayCodes"}, {&TabSheet1, "TabSheet1", "SpeedDial #"},
                            {&TabSheet4, "TabSheet4", "Divert #"},   {&TabSheet3, "TabSheet3", "Access PIN"}};
    for (const Sheet &sheet : sheets) {
        *sheet.page = new QWidget(PhParam);
        (*sheet.page)->setObjectName(latin(sheet.name));
        PhParam->addTab(*sheet.page, latin(sheet.caption));
    }
    layout->addWidget(GroupBox1, 1);

    buildSettingPage();
    buildOptionsPage();
    buildRelayCodesPage();
    buildSpeedDialPage();
    buildDivertPage();
    buildAccessPinPage();
    buildMessagesGroup();
    layout->addWidget(GroupBox2, 0);
}

void SettingsPage::buildSettingPage()
{
    for (const SystemBlock::NumericField &f : SystemBlock::kNumericFields) {
        const bool option = f.field == SystemBlock::Sil || f.field == SystemBlock::Cont;
        QLineEdit *box = makeBox(option ? phopt : Phset, latin(f.control), option ? 2 : 3, 3);
        box->setText(latin(f.formDefault));
        numberBoxes[f.field] = box;
    }
    // Label and box of a numeric field, on the grid of a group.
    auto addNumber = [this](QGridLayout *grid, SystemBlock::Field field) {
        const NumberCaption *caption = nullptr;
        for (const NumberCaption &c : kNumberCaptions)
            if (c.field == field)
                caption = &c;
        QLineEdit *box = numberBoxes[field];
        if (*caption->boxHint)
            SetHint(box, latin(caption->boxHint));
        QLabel *label = makeLabel(box->parentWidget(), latin(caption->caption), box, latin(caption->labelHint));
        label->setWordWrap(true);
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1, Qt::AlignRight | Qt::AlignVCenter);
        box->setParent(grid->parentWidget());
        label->setParent(grid->parentWidget());
    };
    auto group = [this](const QString &title, std::initializer_list<SystemBlock::Field> fields,
                        const std::function<void(QGridLayout *, SystemBlock::Field)> &add) {
        QGroupBox *box = makeGroup(Phset, title);
        auto *grid = new QGridLayout(box);
        grid->setColumnStretch(0, 1);
        grid->setHorizontalSpacing(10);
        for (const SystemBlock::Field field : fields)
            add(grid, field);
        return box;
    };

    auto *layout = pageLayout(Phset);
    auto *columns = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    auto *right = new QVBoxLayout;
    left->addWidget(group(QStringLiteral("Audio"), {SystemBlock::Ml, SystemBlock::Sl, SystemBlock::Rv}, addNumber));
    left->addWidget(group(QStringLiteral("Ringing"), {SystemBlock::Rc, SystemBlock::Na, SystemBlock::Rd}, addNumber));
    left->addStretch(1);
    right->addWidget(group(QStringLiteral("Relays and timers"),
                           {SystemBlock::Rt, SystemBlock::Run, SystemBlock::Lt, SystemBlock::But}, addNumber));
    right->addWidget(group(QStringLiteral("Display"), {SystemBlock::Ls}, addNumber));
    right->addStretch(1);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    layout->addLayout(columns, 1);

    ReadPara0 = makeButton<QPushButton>(Phset, "ReadPara0", QStringLiteral("Read"));
    WritePara0 = makeButton<QPushButton>(Phset, "WritePara0", QStringLiteral("Write"));
    layout->addLayout(buttonRow(ReadPara0, WritePara0));
}

void SettingsPage::buildOptionsPage()
{
    auto *layout = pageLayout(phopt);
    auto *columns = new QHBoxLayout;
    auto *left = new QVBoxLayout;

    QGroupBox *detect = makeGroup(phopt, QStringLiteral("Detection"));
    auto *detectGrid = new QGridLayout(detect);
    detectGrid->setColumnStretch(0, 1);
    for (const SystemBlock::Field field : {SystemBlock::Sil, SystemBlock::Cont}) {
        const NumberCaption *caption = nullptr;
        for (const NumberCaption &c : kNumberCaptions)
            if (c.field == field)
                caption = &c;
        QLineEdit *box = numberBoxes[field];
        box->setParent(detect);
        if (*caption->boxHint)
            SetHint(box, latin(caption->boxHint));
        const int row = detectGrid->rowCount();
        detectGrid->addWidget(makeLabel(detect, latin(caption->caption), box, latin(caption->labelHint)), row, 0);
        detectGrid->addWidget(box, row, 1);
    }
    left->addWidget(detect);

    LcdLine2Group = makeGroup(phopt, QStringLiteral("LCD Line2 Options"), "GroupBox3");
    auto *lcd = new QVBoxLayout(LcdLine2Group);
    lcd->setSpacing(2);
    RadioButton1 = makeButton<QRadioButton>(LcdLine2Group, "RadioButton1", QStringLiteral("Fixed2 message"),
                                            QStringLiteral("Use Fixed2 message"));
    PS2_srl2 = makeButton<QRadioButton>(LcdLine2Group, "PS2_srl2", QStringLiteral("Sroll Line 2"),
                                        QStringLiteral("Use Scroll2 message"));
    PS1_pmsg = makeButton<QRadioButton>(LcdLine2Group, "PS1_pmsg", QStringLiteral("Enable pulsing msgs"),
                                        QStringLiteral("Alternate Pulsing message 1 and 2"));
    PS1_sclk = makeButton<QCheckBox>(LcdLine2Group, "PS1_sclk", QStringLiteral("Show Clock on LCD"),
                                     QStringLiteral("Shows the time of day on line 2"));
    RadioButton1->setChecked(true);
    for (QWidget *w : {static_cast<QWidget *>(RadioButton1), static_cast<QWidget *>(PS2_srl2),
                       static_cast<QWidget *>(PS1_pmsg), static_cast<QWidget *>(PS1_sclk)})
        lcd->addWidget(w);
    left->addWidget(LcdLine2Group);
    left->addStretch(1);

    Relay2Group = makeGroup(phopt, QStringLiteral("Relay2 Override"), "GroupBox4");
    auto *relay = new QVBoxLayout(Relay2Group);
    relay->setSpacing(2);
    rly2off = makeButton<QCheckBox>(Relay2Group, "rly2off", QStringLiteral("Normal"),
                                    QStringLiteral("Tick this box to disable \"Relay in use option\""));
    rly2key = makeButton<QCheckBox>(Relay2Group, "rly2key", QStringLiteral("On a key press"),
                                    QStringLiteral("Relay 2 will activate when a key is pressed"));
    rly2line = makeButton<QCheckBox>(Relay2Group, "rly2line", QStringLiteral("When Line is looped"),
                                     QStringLiteral("Relay 2 will activate when on line"));
    rly2ring = makeButton<QCheckBox>(Relay2Group, "rly2ring", QStringLiteral("When Phone Rings"),
                                     QStringLiteral("Relay 2 will activate when phone starts to ring"));
    for (QCheckBox *box : {rly2off, rly2key, rly2line, rly2ring})
        relay->addWidget(box);
    auto *timerFrame = new QFrame(Relay2Group);
    timerFrame->setObjectName(QStringLiteral("Bevel1"));
    timerFrame->setFrameShape(QFrame::StyledPanel);
    auto *timerLayout = new QVBoxLayout(timerFrame);
    timerLayout->setContentsMargins(6, 2, 6, 2);
    rly2tim = makeButton<QCheckBox>(timerFrame, "rly2tim", QStringLiteral("Don't use timer"),
                                    QStringLiteral("Tick so that relay will stay on for the duration of the call."));
    timerLayout->addWidget(rly2tim);
    auto *indent = new QHBoxLayout;
    indent->addSpacing(18);
    indent->addWidget(timerFrame);
    relay->addLayout(indent);
    rly2off->setChecked(true);
    rly2tim->setEnabled(false);
    auto *right = new QVBoxLayout;
    right->addWidget(Relay2Group);
    right->addStretch(1);

    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    layout->addLayout(columns);

    auto *options = new QGridLayout;
    options->setVerticalSpacing(2);
    PS2_klmsg = makeButton<QCheckBox>(phopt, "PS2_klmsg",
                                      QStringLiteral("Use the 'Pulsing Msg1+2' as the Keyless entry message"));
    PS2_gcod = makeButton<QCheckBox>(phopt, "PS2_gcod", QStringLiteral("Use Global Gate Codes"));
    PS1_gacc = makeButton<QCheckBox>(phopt, "PS1_gacc", QStringLiteral("Gate access on in-calls"));
    PS2_gn1c = makeButton<QCheckBox>(phopt, "PS2_gn1c", QStringLiteral("Enable GN1 compatibility for relay control"),
                                     QStringLiteral("Tick this box to open gate using #1+code or #2+code"));
    PS2_grls = makeButton<QCheckBox>(phopt, "PS2_grls", QStringLiteral("Sw. off after gate release"));
    PS2_srl1 = makeButton<QCheckBox>(phopt, "PS2_srl1", QStringLiteral("Sroll Line 1"));
    // Never shown: carried from the last read or file into every write.
    PS2_mden = makeButton<QCheckBox>(phopt, "PS2_mden", QStringLiteral("Modem enable"));
    PS2_mden->hide();
    PS2_grls->setChecked(true);
    PS2_mden->setChecked(true);
    options->addWidget(PS2_klmsg, 0, 0, 1, 2);
    options->addWidget(PS2_gn1c, 1, 0, 1, 2);
    options->addWidget(PS2_gcod, 2, 0);
    options->addWidget(PS1_gacc, 2, 1);
    options->addWidget(PS2_grls, 3, 0);
    options->addWidget(PS2_srl1, 3, 1);
    layout->addLayout(options);
    layout->addStretch(1);

    ReadPara1 = makeButton<QPushButton>(phopt, "ReadPara1", QStringLiteral("Read"));
    WritePara1 = makeButton<QPushButton>(phopt, "WritePara1", QStringLiteral("Write"));
    layout->addLayout(buttonRow(ReadPara1, WritePara1));
}

void SettingsPage::buildRelayCodesPage()
{
    auto *layout = pageLayout(TabSheet2);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(8);
    const QString rows[] = {QStringLiteral("Global Gate Codes"), QStringLiteral("Incomming Calls Gate Codes"),
                            QStringLiteral("SpeedButtons Gate Codes")};
    const QString columns[] = {QStringLiteral("Relay1"), QStringLiteral("Relay2")};

    // Drawn around the "Relay2" column when relay 2 is taken by the override
    // (placed by the page whenever the column moves).
    Bevel2 = new QFrame(TabSheet2);
    Bevel2->setObjectName(QStringLiteral("Bevel2"));
    Bevel2->setFrameShape(QFrame::Box);
    Bevel2->setFrameShadow(QFrame::Sunken);
    Bevel2->hide();

    for (int c = 0; c < 2; ++c) {
        auto *heading = new QLabel(columns[c], TabSheet2);
        heading->setFont(boldFont(heading));
        heading->setAlignment(Qt::AlignCenter);
        grid->addWidget(heading, 0, c + 1);
    }
    for (int i = 0; i < RelayCodeBlock::kCodes; ++i) {
        const int row = i / 2;
        const int column = i % 2;
        QLineEdit *box = makeBox(TabSheet2, latin(RelayCodeBlock::kControls[i]), RelayCodeBlock::kTypedLength, 8);
        // Named from its row and its column, as a screen reader needs it.
        box->setAccessibleName(rows[row] + QLatin1Char(' ') + columns[column]);
        codeBoxes[i] = box;
        grid->addWidget(box, row + 1, column + 1, Qt::AlignCenter);
    }
    for (int r = 0; r < 3; ++r) {
        QLabel *label = makeLabel(TabSheet2, rows[r], codeBoxes[r * 2]);
        codeBoxes[r * 2]->setAccessibleName(rows[r] + QLatin1Char(' ') + columns[0]);
        grid->addWidget(label, r + 1, 0);
    }
    grid->setColumnStretch(3, 1);
    code_g1 = codeBoxes[0];
    code_g2 = codeBoxes[1];
    code_ic2 = codeBoxes[3];
    code_sd2 = codeBoxes[5];
    code_g2->installEventFilter(this);
    code_sd2->installEventFilter(this);
    layout->addLayout(grid);

    Label47 = new QLabel(QStringLiteral("Global codes currently disabled"), TabSheet2);
    Label47->setObjectName(QStringLiteral("Label47"));
    SetHint(Label47, QStringLiteral("Refer to Options page"));
    Label31 = new QLabel(QStringLiteral("Note: Relay2 disabled by OverRide option"), TabSheet2);
    Label31->setObjectName(QStringLiteral("Label31"));
    SetHint(Label31, QStringLiteral("Refer to 'Options' Relay2 Override"));
    for (QLabel *note : {Label47, Label31}) {
        QPalette palette = note->palette();
        palette.setColor(QPalette::WindowText, QColor(128, 128, 0));
        note->setPalette(palette);
        note->setFont(boldFont(note));
        note->hide();
        layout->addWidget(note);
    }
    layout->addStretch(1);

    ReadCode = makeButton<QPushButton>(TabSheet2, "ReadCode", QStringLiteral("Read"));
    WriteCode = makeButton<QPushButton>(TabSheet2, "WriteCode", QStringLiteral("Write"));
    layout->addLayout(buttonRow(ReadCode, WriteCode));
}

void SettingsPage::buildSpeedDialPage()
{
    auto *layout = pageLayout(TabSheet1);
    auto *note = new QLabel(QStringLiteral("Used for buttons that maybe installed on the Ostiarin"), TabSheet1);
    note->setObjectName(QStringLiteral("Label70"));
    note->setFont(boldFont(note));
    layout->addWidget(note);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    for (int i = 0; i < SpeedDialBlock::kNumbers; ++i) {
        QLineEdit *box = makeBox(TabSheet1, QStringLiteral("spd%1").arg(i + 1), SpeedDialBlock::kWidth, 16);
        box->setText(QStringLiteral("3600%1").arg(i + 1));
        spd[i] = box;
        const int row = i % 4;
        const int column = (i / 4) * 3;
        grid->addWidget(makeLabel(TabSheet1, QStringLiteral("SpeedNo.%1").arg(i + 1), box), row, column);
        grid->addWidget(box, row, column + 1);
    }
    grid->setColumnMinimumWidth(2, 16);
    grid->setColumnStretch(5, 1);
    layout->addLayout(grid);
    layout->addStretch(1);

    ReadSpd = makeButton<QPushButton>(TabSheet1, "ReadSpd", QStringLiteral("Read"));
    WriteSpd = makeButton<QPushButton>(TabSheet1, "WriteSpd", QStringLiteral("Write"));
    layout->addLayout(buttonRow(ReadSpd, WriteSpd));
}

void SettingsPage::buildDivertPage()
{
    auto *layout = pageLayout(TabSheet4);
    const QString numbersHint = QStringLiteral("If blank, then Set 'Start' & 'End time' to the same value");

    auto timeBox = [](QWidget *parent, int index) {
        auto *box = new QLineEdit(parent);
        box->setObjectName(QStringLiteral("MaskEdit%1").arg(index + 1));
        box->setInputMask(QStringLiteral("99:99;_"));
        box->setText(QStringLiteral("  :  "));
        box->setFixedWidth(boxWidth(box, 6));
        return box;
    };

    QGroupBox *afterHours = makeGroup(TabSheet4, QStringLiteral("After hours Divert numbers"), "GroupBox5");
    auto *ahGrid = new QGridLayout(afterHours);
    ahGrid->setHorizontalSpacing(8);
    Divert4Butts = makeButton<QRadioButton>(afterHours, "Divert4Butts", QStringLiteral("ButtonsOnly"));
    Divert4All = makeButton<QRadioButton>(afterHours, "Divert4All", QStringLiteral("All Calls"));
    Divert4Butts->setChecked(true);
    auto *ahChoice = new QHBoxLayout;
    ahChoice->addWidget(Divert4Butts);
    ahChoice->addWidget(Divert4All);
    ahChoice->addStretch(1);
    ahGrid->addLayout(ahChoice, 0, 0, 1, 3);
    for (int n = 0; n < 2; ++n) {
        QLineEdit *number = makeBox(afterHours, latin(DivertBlock::kNumberControls[2 + n]), DivertBlock::kNumberWidth, 16);
        SetHint(number, numbersHint);
        divertBoxes[2 + n] = number;
        const int row = 1 + n * 2;
        ahGrid->addWidget(makeLabel(afterHours, QStringLiteral("AfterHours No. %1").arg(n + 1), number), row, 0);
        ahGrid->addWidget(number, row, 1);
        auto *times = new QHBoxLayout;
        times->setSpacing(6);
        for (int t = 0; t < 2; ++t) {
            const int index = n * 2 + t;
            MaskEdits[index] = timeBox(afterHours, index);
            QLabel *label = makeLabel(afterHours, t == 0 ? QStringLiteral("Start Time") : QStringLiteral("End Time"),
                                      MaskEdits[index]);
            MaskEdits[index]->setAccessibleName(QStringLiteral("AfterHours No. %1 %2").arg(n + 1).arg(label->text()));
            if (t == 1)
                times->addSpacing(12);
            times->addWidget(label);
            times->addWidget(MaskEdits[index]);
        }
        times->addStretch(1);
        ahGrid->addLayout(times, row + 1, 1, 1, 2);
    }
    ahGrid->setColumnStretch(2, 1);
    layout->addWidget(afterHours);

    QGroupBox *noAnswer = makeGroup(TabSheet4, QStringLiteral("No Answer Divert numbers"), "GroupBox6");
    auto *naGrid = new QGridLayout(noAnswer);
    naGrid->setHorizontalSpacing(8);
    Divert4ButtsNA = makeButton<QRadioButton>(noAnswer, "Divert4ButtsNA", QStringLiteral("ButtonsOnly"));
    Divert4AllNA = makeButton<QRadioButton>(noAnswer, "Divert4AllNA", QStringLiteral("All Calls"));
    Divert4ButtsNA->setChecked(true);
    auto *naChoice = new QHBoxLayout;
    naChoice->addWidget(Divert4ButtsNA);
    naChoice->addWidget(Divert4AllNA);
    naChoice->addStretch(1);
    naGrid->addLayout(naChoice, 0, 0, 1, 3);
    for (int n = 0; n < 2; ++n) {
        QLineEdit *number = makeBox(noAnswer, latin(DivertBlock::kNumberControls[n]), DivertBlock::kNumberWidth, 16);
        divertBoxes[n] = number;
        naGrid->addWidget(makeLabel(noAnswer, QStringLiteral("Divert No. %1").arg(n + 1), number), 1 + n, 0);
        naGrid->addWidget(number, 1 + n, 1);
    }
    naGrid->setColumnStretch(2, 1);
    layout->addWidget(noAnswer);

    // Not shown: the times without their ':' and the raw characters of a read.
    const char *hiddenNames[DivertBlock::kTimes] = {"time1s", "time1e", "time2s", "time2e"};
    for (int i = 0; i < DivertBlock::kTimes; ++i) {
        hiddenTimes[i] = new QLineEdit(QStringLiteral("0000"), TabSheet4);
        hiddenTimes[i]->setObjectName(latin(hiddenNames[i]));
        hiddenTimes[i]->hide();
    }
    Edit4 = new QLineEdit(QStringLiteral("testing"), TabSheet4);
    Edit4->setObjectName(QStringLiteral("Edit4"));
    Edit4->hide();
    layout->addStretch(1);

    divertRead = makeButton<QPushButton>(TabSheet4, "divertRead", QStringLiteral("Read"));
    divertWrite = makeButton<QPushButton>(TabSheet4, "divertWrite", QStringLiteral("Write"));
    layout->addLayout(buttonRow(divertRead, divertWrite));
}

void SettingsPage::buildAccessPinPage()
{
    auto *layout = pageLayout(TabSheet3);
    auto *pinHeading = new QLabel(QStringLiteral("PIN to access Local & Remote"), TabSheet3);
    pinHeading->setFont(boldFont(pinHeading));
    layout->addWidget(pinHeading);
    auto *pinGrid = new QGridLayout;
    pinGrid->setVerticalSpacing(6);
    for (int i = 0; i < 4; ++i) {
        QLineEdit *box = makeBox(TabSheet3, latin(PinBlock::kControls[i]), PinBlock::kWidth, 10);
        pinBoxes[i] = box;
        if (i == 0)
            pinGrid->addWidget(makeLabel(TabSheet3, QStringLiteral("New PIN"), box), 0, 0);
        else
            box->setAccessibleName(QStringLiteral("New PIN %1").arg(i + 1));
        pinGrid->addWidget(box, i, 1);
    }
    pinGrid->setColumnStretch(2, 1);
    layout->addLayout(pinGrid);
    layout->addSpacing(8);

    const QString emergencyHint = QStringLiteral("First digit MUST be 1 or 2");
    auto *emergencyHeading = new QLabel(QStringLiteral("Emergency Service Access Codes"), TabSheet3);
    emergencyHeading->setFont(boldFont(emergencyHeading));
    layout->addWidget(emergencyHeading);
    auto *emergency = new QHBoxLayout;
    auto *codeGrid = new QGridLayout;
    codeGrid->setVerticalSpacing(6);
    for (int i = 4; i < PinBlock::kCodes; ++i) {
        QLineEdit *box = makeBox(TabSheet3, latin(PinBlock::kControls[i]), PinBlock::kWidth, 10);
        SetHint(box, emergencyHint);
        box->setAccessibleName(QStringLiteral("Emergency Service Access Code %1").arg(i - 3));
        pinBoxes[i] = box;
        codeGrid->addWidget(box, (i - 4) / 2, (i - 4) % 2);
    }
    emergency->addLayout(codeGrid);
    emergency->addSpacing(12);
    auto *notes = new QVBoxLayout;
    notes->setSpacing(0);
    for (const char *line : {"NB. First digit must be 1 or 2 to ", "match which relay will be opened ",
                             "Code length MUST be 6 to 8 digits"}) {
        auto *note = new QLabel(latin(line), TabSheet3);
        SetHint(note, emergencyHint);
        notes->addWidget(note);
    }
    emergency->addLayout(notes);
    emergency->addStretch(1);
    layout->addLayout(emergency);
    layout->addStretch(1);

    ReadPins = makeButton<QPushButton>(TabSheet3, "ReadPins", QStringLiteral("Read"));
    ReadPins->setFont(boldFont(ReadPins));
    UpDatePIN = makeButton<QPushButton>(TabSheet3, "UpDatePIN", QStringLiteral("Write"));
    layout->addLayout(buttonRow(ReadPins, UpDatePIN));
}

void SettingsPage::buildMessagesGroup()
{
    GroupBox2 = makeGroup(m_form.system, QStringLiteral("Messages"), "GroupBox2");
    auto *layout = new QVBoxLayout(GroupBox2);
    layout->setContentsMargins(8, 8, 8, 6);
    layout->setSpacing(2);

    QFont courier(QStringLiteral("Courier"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setFixedPitch(true);
    // Single bytes the display can show: no control characters, and not the
    // 0xFF that fills a message in the unit (it would end the text there).
    const QRegularExpression printable(QStringLiteral("[\\x{20}-\\x{7E}\\x{A0}-\\x{FE}]*"));
    for (int i = 0; i < MessageBlock::kMessages; ++i) {
        const MessageBlock::Message &m = MessageBlock::kMessageFields[i];
        auto *box = new QLineEdit(GroupBox2);
        box->setObjectName(latin(m.control));
        box->setFont(courier);
        box->setMaxLength(m.span.width);
        box->setFixedWidth(boxWidth(box, m.span.width) + 4);
        box->setValidator(new QRegularExpressionValidator(printable, box));
        SetHint(box, latin(m.hint));
        msg[i] = box;
        layout->addWidget(makeLabel(GroupBox2, latin(m.label), box));
        layout->addWidget(box);
        if (i == 5) {
            auto *note = new QLabel(QStringLiteral("Or Keyless access messages when # is pressed"), GroupBox2);
            note->setWordWrap(true);
            layout->addWidget(note);
        } else {
            layout->addSpacing(4);
        }
    }
    layout->addStretch(1);

    UpLoad = makeButton<QPushButton>(GroupBox2, "UpLoad", QStringLiteral("Up Date"),
                                     QStringLiteral("Click to update the Ostiarin to use this new data"));
    UpLoad->hide();
    ReadMsgs = makeButton<QPushButton>(GroupBox2, "ReadMsgs", QStringLiteral("Read"));
    SaveParam = makeButton<QPushButton>(GroupBox2, "SaveParam", QStringLiteral("Write"));
    layout->addLayout(buttonRow(ReadMsgs, SaveParam));
}
