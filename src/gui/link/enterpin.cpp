#include "link/enterpin.h"

#include "common/handler.h"
#include "link/commandchannel.h"
#include "link/linkdetails.h"
#include "link/ports.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr int kDialogWidth = 228;
constexpr int kDialogHeight = 193;
constexpr int kPinFieldLength = 16;
constexpr int kPhoneFieldLength = 20;
constexpr int kAddressFieldLength = 31;

bool IsEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }
} // namespace

TEnterPin::TEnterPin(const CommandChannel &channel, SerialNameSource serialName, QWidget *parent)
    : QDialog(parent),
      m_channel(channel),
      m_serialName(std::move(serialName)),
      m_linkDetailsFileName(kLinkDetailsFileName)
{
    setObjectName(QStringLiteral("EnterPin"));
    setWindowTitle(QStringLiteral("EnterPin"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    Label1 = new QLabel(QStringLiteral("PIN"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    OstiPin = new QLineEdit(this);
    OstiPin->setObjectName(QStringLiteral("OstiPin"));
    OstiPin->setMaxLength(kPinFieldLength);
    OstiPin->setEchoMode(QLineEdit::Password);
    // The PIN shows as "*", whatever the style's own mask character.
    OstiPin->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    OstiPin->setStatusTip(QStringLiteral("Enter the PIN to access Ostiarin Programme Mode"));
    Label1->setBuddy(OstiPin);

    RChkBox = new QCheckBox(QStringLiteral("Remote"), this);
    RChkBox->setObjectName(QStringLiteral("RChkBox"));

    Label2 = new QLabel(QStringLiteral("Phone #"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    R_ph_num = new QLineEdit(this);
    R_ph_num->setObjectName(QStringLiteral("R_ph_num"));
    R_ph_num->setMaxLength(kPhoneFieldLength);
    Label2->setBuddy(R_ph_num);

    ipaddrLab = new QLabel(QStringLiteral("IP_Address"), this);
    ipaddrLab->setObjectName(QStringLiteral("ipaddrLab"));
    IP_addr = new QLineEdit(this);
    IP_addr->setObjectName(QStringLiteral("IP_addr"));
    IP_addr->setMaxLength(kAddressFieldLength);
    ipaddrLab->setBuddy(IP_addr);

    StrDetail = new QCheckBox(QStringLiteral("Remember Details"), this);
    StrDetail->setObjectName(QStringLiteral("StrDetail"));

    Button1 = new QPushButton(QStringLiteral("Ok"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    // Enter is handled by the fields themselves: in the PIN field it must
    // accept without writing the file, so no button may be the default.
    for (QPushButton *button : {Button1, Button2}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    // The IP address row takes the place of Remote and the telephone number;
    // only one of the two is shown.
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(12, 10, 12, 10);
    grid->setVerticalSpacing(6);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(OstiPin, 0, 1);
    grid->addWidget(RChkBox, 1, 0, 1, 2);
    grid->addWidget(ipaddrLab, 1, 0);
    grid->addWidget(IP_addr, 1, 1);
    grid->addWidget(Label2, 2, 0);
    grid->addWidget(R_ph_num, 2, 1);
    grid->addWidget(StrDetail, 3, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    grid->addLayout(buttons, 4, 0, 1, 2);
    grid->setRowStretch(5, 1);

    ipaddrLab->hide();
    IP_addr->hide();
    showPhoneNumberEnabled(false);
    setFixedSize(kDialogWidth, kDialogHeight);

    OstiPin->installEventFilter(this);
    IP_addr->installEventFilter(this);
    R_ph_num->installEventFilter(this);
    // toggled, not clicked: a state set from the file acts as a click too.
    connectHandler(RChkBox, &QCheckBox::toggled, this, [this] { RChkBoxClick(); });
    connectHandler(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

QString TEnterPin::pin() const { return OstiPin->text(); }
QString TEnterPin::phoneNumber() const { return R_ph_num->text(); }
bool TEnterPin::remote() const { return RChkBox->isChecked(); }

void TEnterPin::showPhoneNumberEnabled(bool enabled)
{
    R_ph_num->setEnabled(enabled);
    Label2->setEnabled(enabled);
    // Disabled, the field wears the grey of a button face.
    QPalette palette = R_ph_num->palette();
    const QPalette defaults = this->palette();
    const QColor background = enabled ? defaults.color(QPalette::Active, QPalette::Base)
                                      : defaults.color(QPalette::Active, QPalette::Button);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, background);
    R_ph_num->setPalette(palette);
}

void TEnterPin::FormShow()
{
    ipaddrLab->hide();
    IP_addr->hide();
    RChkBox->show();
    Label2->show();
    R_ph_num->show();

    if (const std::optional<LinkDetails> details = ReadLinkDetails(m_linkDetailsFileName)) {
        OstiPin->setText(details->pin);
        R_ph_num->setText(details->phoneNumber);
        StrDetail->setChecked(details->remember);
        RChkBox->setChecked(details->remote);
        if (m_channel.WiFiSelected) {
            ipaddrLab->show();
            IP_addr->show();
            RChkBox->hide();
            Label2->hide();
            R_ph_num->hide();
            IP_addr->setText(details->ipAddress);
        }
    }
    // Place the rows shown now before the window is painted.
    layout()->activate();
    OstiPin->setFocus(Qt::OtherFocusReason);
}

void TEnterPin::RChkBoxClick()
{
    const bool ticked = RChkBox->isChecked();
    showPhoneNumberEnabled(ticked);
    if (ticked)
        R_ph_num->setFocus(Qt::OtherFocusReason);
}

void TEnterPin::Button1Click()
{
    LinkDetails details;
    if (StrDetail->isChecked()) {
        details.pin = OstiPin->text();
        details.phoneNumber = R_ph_num->text().left(kLinkPhoneCapacity);
        details.remember = true;
        details.remote = RChkBox->isChecked();
        details.ipAddress = IP_addr->text().left(kLinkAddressCapacity);
    }
    details.portName = (m_serialName ? m_serialName() : QString()).left(kMaxPortIdentityLength);
    details.wifi = m_channel.WiFiSelected;
    WriteLinkDetails(m_linkDetailsFileName, details);
    accept();
}

bool TEnterPin::OstiPinKeyPress(int key)
{
    if (!IsEnterKey(key))
        return false;
    accept();
    return true;
}

bool TEnterPin::R_ph_numKeyPress(int key)
{
    if (!IsEnterKey(key))
        return false;
    guarded([this] { Button1Click(); });
    return true;
}

bool TEnterPin::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (watched == OstiPin || watched == IP_addr)
            return OstiPinKeyPress(key);
        if (watched == R_ph_num)
            return R_ph_numKeyPress(key);
    }
    return QDialog::eventFilter(watched, event);
}

void TEnterPin::setVisible(bool visible)
{
    // Centred on the screen, not on the main window.
    if (visible && !isVisible())
        adjustPosition(nullptr);
    QDialog::setVisible(visible);
}

void TEnterPin::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        guarded([this] { FormShow(); });
}

bool TEnterPin::event(QEvent *event)
{
    // Hints of the fields belong in the main window's status bar.
    if (event->type() == QEvent::StatusTip && parentWidget())
        return QCoreApplication::sendEvent(parentWidget()->window(), event);
    return QDialog::event(event);
}
