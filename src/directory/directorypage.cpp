#include "directory/directorypage.h"

#include "app/mainwindow.h"

DirectoryPage::DirectoryPage(TostiForm &form) : QObject(&form), m_form(form) {}
