#include "link/unitgate.h"

bool UnitGate::tryBegin(const QString &name)
{
    if (busy())
        return false;
    m_operation = name.isEmpty() ? QStringLiteral("operation") : name;
    emit busyChanged(true);
    return true;
}

void UnitGate::end()
{
    if (!busy())
        return;
    m_operation.clear();
    emit busyChanged(false);
}
