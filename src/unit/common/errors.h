#pragma once

#include <QByteArray>
#include <QString>
#include <exception>
#include <memory>

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

// One failure that abandons several handlers at once (a link that is gone
// while handlers wait on it, one inside another): each of them is abandoned,
// but the user is told once.  Every copy shares the one report.
class OnceReportedError : public AppError {
public:
    OnceReportedError(QString text, std::shared_ptr<bool> reported)
        : AppError(std::move(text)), m_reported(std::move(reported)) {}
    // True for the first caller only: that one tells the user.
    bool takeReport() const
    {
        if (!m_reported || *m_reported)
            return false;
        *m_reported = true;
        return true;
    }

private:
    std::shared_ptr<bool> m_reported;
};
