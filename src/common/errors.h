#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// An error that abandons the handler in which it happens.  Handlers are
// entered through guarded() (handler.h), which shows the text in the general
// error report; the program then carries on.
class AppError : public std::exception {
public:
    explicit AppError(QString text) : m_text(std::move(text)), m_what(m_text.toUtf8()) {}
    const QString &text() const noexcept { return m_text; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_text;
    QByteArray m_what;
};

// A text that should have been a decimal integer and is not.
class ConversionError : public AppError {
public:
    explicit ConversionError(const QString &value)
        : AppError(QStringLiteral("'%1' is not a valid integer value").arg(value)) {}
};
