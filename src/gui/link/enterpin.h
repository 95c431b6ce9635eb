#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class CommandChannel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The log-on dialog: asks for the unit's PIN and, by the link, for the
// modem's telephone number (Remote) or the unit's IP address (WiFi).  On
// request it remembers them with the selected port in the link-details file,
// which it reads back each time it opens.  Created once; the fields keep
// their content between showings.
class TEnterPin : public QDialog {
    Q_OBJECT
public:
    // The identity of the serial port currently selected.
    using SerialNameSource = std::function<QString()>;

    TEnterPin(const CommandChannel &channel, SerialNameSource serialName, QWidget *parent = nullptr);

    // The link-details file ("Ostidata.ini" in the working directory).
    void setLinkDetailsFileName(const QString &fileName) { m_linkDetailsFileName = fileName; }
    const QString &linkDetailsFileName() const { return m_linkDetailsFileName; }

    // What the log-on takes from the fields (not from the file).
    QString pin() const;
    QString phoneNumber() const; // all of it, up to 20 characters
    bool remote() const;

    // --- handlers ---
    void FormShow();
    void RChkBoxClick();
    void Button1Click();
    // Enter in the PIN or IP address field accepts at once, without writing
    // the file; Enter in the telephone-number field acts as "Ok".  Each
    // returns whether it took the key.
    bool OstiPinKeyPress(int key);
    bool R_ph_numKeyPress(int key);

    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showPhoneNumberEnabled(bool enabled);

    const CommandChannel &m_channel;
    SerialNameSource m_serialName;
    QString m_linkDetailsFileName;

    QLabel *Label1;
    QLineEdit *OstiPin;
    QCheckBox *RChkBox;
    QLabel *Label2;
    QLineEdit *R_ph_num;
    QLabel *ipaddrLab;
    QLineEdit *IP_addr;
    QCheckBox *StrDetail;
    QPushButton *Button1;
    QPushButton *Button2;
};
