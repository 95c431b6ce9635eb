#pragma once

#include "settings/settingsimage.h"

#include <QObject>
#include <QSet>

#include <array>
#include <functional>

class TostiForm;
class QAbstractButton;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

// The "SystemControls" page: the unit's settings on six sub-pages and the
// "Messages" group.  What the blocks and the file hold lives in
// systemparameters, settingsblocks and settingsimage; this class binds those
// values to the controls, keeps the interlocks between options, and runs the
// reads and writes.  It installs its steps of the File commands, the first
// read of the page and the global-codes refresh in the main window.
class SettingsPage : public QObject {
    Q_OBJECT
public:
    explicit SettingsPage(TostiForm &form);

    // --- the values on the page ---
    SettingsValues values() const;
    SystemParameters systemParameters() const;
    void showSystemParameters(const SystemParameters &value); // numbers and option bytes, as a read does
    RelayCodes relayCodes() const;
    void showRelayCodes(const RelayCodes &codes);
    SpeedDials speedDials() const;
    void showSpeedDials(const SpeedDials &numbers);
    Messages messages() const;
    void showMessages(const Messages &messages);
    DivertNumbers divertNumbers() const;
    void showDivertNumbers(const DivertNumbers &numbers);
    DivertTimes divertTimes() const; // the hidden boxes
    AccessCodes accessCodes() const;
    void showAccessCodes(const AccessCodes &codes);
    int relay2() const;

    // The reads return false, leaving the boxes as they were, when the link
    // went off line during their wait.

    // A box that a read filled from a field the reply did not wholly hold
    // (it shows "ERROR", or the digits that came; a time box keeps what it
    // showed).  Until the user edits it, a later read fills it or a file
    // load sets it, the write of its block sends nothing for that block.
    bool readFailed(const QLineEdit *box) const { return m_failedRead.contains(box); }

    // --- block 0000 ---
    bool ReadSystemParameters();
    void ApplySystemParameters(const QString &data);
    QString EncodeSystemParameters();
    void WriteSystemParameters();
    QString EncodeRelay2();
    void ApplyRelay2(const QString &pair);

    // --- other blocks ---
    bool ReadRelayCodes();
    void WriteRelayCodes();
    bool ReadSpeedDials();
    void WriteSpeedDials();
    bool ReadMessages();
    void WriteMessages();
    bool ReadDivertNumbers();
    bool ReadDivertTimes();
    void WriteDiverts();

    // --- reads, writes and buttons ---
    // True when all five reads ran (the link stayed up and block 0000 could
    // be converted).
    bool ReadAllSettings();
    bool readSettingsFirstTime();
    void ShowReady();
    void ReadPara1Click();
    void WritePara1Click();
    void ReadCodeClick();
    void WriteCodeClick();
    void ReadSpdClick();
    void WriteSpdClick();
    void ReadMsgsClick();
    void SaveParamClick();
    void divertReadClick();
    void divertWriteClick();
    void ReadPinsClick();
    bool readPins(); // the PIN read itself, below its handler
    void UpDatePINClick();
    void UpLoadClick();

    // --- interlocks ---
    void RefreshGlobalCodes();
    void RefreshRelay2Override();
    void PhParamChange(int index);
    void rly2offMouseDown();
    void rly2boxMouseDown(); // "On a key press", "When Line is looped", "When Phone Rings"

    // --- the settings file ---
    SettingsImage &settingsImage() { return m_image; }
    void BuildSettingsImage();
    void ApplySettingsImage();
    void SaveSettingsFile(const QString &fileName);
    bool LoadSettingsFile(const QString &fileName);
    void openSettingsFile();
    void saveSettingsFileAs();

    static const QString kSettingsFilter;

    // --- controls ---
    QGroupBox *GroupBox1 = nullptr; // "Operating Parameters"
    QTabWidget *PhParam = nullptr;
    QWidget *Phset = nullptr;
    QWidget *phopt = nullptr;
    QWidget *TabSheet2 = nullptr;
    QWidget *TabSheet1 = nullptr;
    QWidget *TabSheet4 = nullptr;
    QWidget *TabSheet3 = nullptr;

    // Setting and Options: the numeric boxes in block order.
    std::array<QLineEdit *, SystemBlock::FieldCount> numberBoxes{};
    QPushButton *ReadPara0 = nullptr;
    QPushButton *WritePara0 = nullptr;
    QPushButton *ReadPara1 = nullptr;
    QPushButton *WritePara1 = nullptr;

    QGroupBox *LcdLine2Group = nullptr;
    QRadioButton *RadioButton1 = nullptr;
    QRadioButton *PS2_srl2 = nullptr;
    QRadioButton *PS1_pmsg = nullptr;
    QCheckBox *PS1_sclk = nullptr;
    QCheckBox *PS2_klmsg = nullptr;
    QCheckBox *PS1_gacc = nullptr;
    QCheckBox *PS2_gn1c = nullptr;
    QCheckBox *PS2_gcod = nullptr;
    QCheckBox *PS2_grls = nullptr;
    QCheckBox *PS2_srl1 = nullptr;
    QCheckBox *PS2_mden = nullptr;
    QGroupBox *Relay2Group = nullptr;
    QCheckBox *rly2off = nullptr;
    QCheckBox *rly2key = nullptr;
    QCheckBox *rly2line = nullptr;
    QCheckBox *rly2ring = nullptr;
    QCheckBox *rly2tim = nullptr;

    // RelayCodes
    std::array<QLineEdit *, RelayCodeBlock::kCodes> codeBoxes{}; // code_g1, code_g2, code_ic1, ...
    QLineEdit *code_g1 = nullptr;
    QLineEdit *code_g2 = nullptr;
    QLineEdit *code_ic2 = nullptr;
    QLineEdit *code_sd2 = nullptr;
    QFrame *Bevel2 = nullptr;
    QLabel *Label31 = nullptr;
    QLabel *Label47 = nullptr;
    QPushButton *ReadCode = nullptr;
    QPushButton *WriteCode = nullptr;

    // SpeedDial #
    std::array<QLineEdit *, SpeedDialBlock::kNumbers> spd{};
    QPushButton *ReadSpd = nullptr;
    QPushButton *WriteSpd = nullptr;

    // Divert #
    std::array<QLineEdit *, DivertBlock::kNumbers> divertBoxes{}; // divert1, divert2, AftHrs1, AftHrs2
    QRadioButton *Divert4Butts = nullptr;
    QRadioButton *Divert4All = nullptr;
    QRadioButton *Divert4ButtsNA = nullptr;
    QRadioButton *Divert4AllNA = nullptr;
    std::array<QLineEdit *, DivertBlock::kTimes> MaskEdits{};   // MaskEdit1 to MaskEdit4
    std::array<QLineEdit *, DivertBlock::kTimes> hiddenTimes{}; // time1s, time1e, time2s, time2e
    QLineEdit *Edit4 = nullptr;
    QPushButton *divertRead = nullptr;
    QPushButton *divertWrite = nullptr;

    // Access PIN
    std::array<QLineEdit *, PinBlock::kCodes> pinBoxes{}; // NewPin ... EmgyCode4
    QPushButton *ReadPins = nullptr;
    QPushButton *UpDatePIN = nullptr;

    // Messages
    QGroupBox *GroupBox2 = nullptr;
    std::array<QLineEdit *, MessageBlock::kMessages> msg{};
    QPushButton *ReadMsgs = nullptr;
    QPushButton *SaveParam = nullptr;
    QPushButton *UpLoad = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildSettingPage();
    void buildOptionsPage();
    void buildRelayCodesPage();
    void buildSpeedDialPage();
    void buildDivertPage();
    void buildAccessPinPage();
    void buildMessagesGroup();
    void connectHandlers();
    void installHooks();

    // The option boxes behind each bit of the PS1 and PS2 bytes, in bit order.
    struct BitControl {
        int bit;
        QAbstractButton *button;
    };
    QList<BitControl> ps1Controls() const;
    QList<BitControl> ps2Controls() const;
    void applyOptionByte(const QList<BitControl> &controls, int byte);

    void applyRelay2Value(int value);
    void setLine2Choice(QRadioButton *choice);
    void keylessChanged();
    void timeBoxChanged(int index);
    bool onLine() const;
    // Runs `body` holding the unit for `operation`; nothing while another
    // operation holds it.
    void whileHeld(const QString &operation, const std::function<void()> &body);
    // Remembers whether `box` was filled from a field that arrived whole.
    void noteRead(QLineEdit *box, bool arrived);
    template <std::size_t N>
    bool anyReadFailed(const std::array<QLineEdit *, N> &boxes, int first = 0, int count = int(N)) const;
    // The write of a block holding a failed-read box: nothing is sent and the
    // block's own failure is reported.
    bool refuseFailedBlock(bool failed, const QString &failure);

    TostiForm &m_form;
    SettingsImage m_image;
    QSet<const QLineEdit *> m_failedRead;
};
