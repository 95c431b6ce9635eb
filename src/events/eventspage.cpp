#include "events/eventspage.h"

#include "app/mainwindow.h"

EventsPage::EventsPage(TostiForm &form) : QObject(&form), m_form(form) {}
