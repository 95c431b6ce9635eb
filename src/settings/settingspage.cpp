#include "settings/settingspage.h"

#include "app/mainwindow.h"

SettingsPage::SettingsPage(TostiForm &form) : QObject(&form), m_form(form) {}
