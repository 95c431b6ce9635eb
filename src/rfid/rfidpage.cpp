#include "rfid/rfidpage.h"

#include "app/mainwindow.h"

RfidPage::RfidPage(TostiForm &form) : QObject(&form), m_form(form) {}
