#pragma once

#include <QString>
#include <functional>

// Every message box of the program goes through this one service, so that a
// test can read what would have been shown and answer it.  The service knows
// no window: the front end installs the presenter that shows a message (the
// window's message boxes, lines on a terminal); a test's handler, when set,
// is asked before it.  With neither, a message goes to stderr and a question
// is answered No, so that nothing is ever replaced unasked.
class MessageService {
public:
    enum class Kind {
        Information, // a message with an OK button
        Error,       // the general error report, OK button
        Question,    // Yes and No
    };

    struct Message {
        Kind kind;
        QString text;
    };

    // Shows text with an OK button and waits until it is closed.
    static void inform(const QString &text);
    // The general error report: an error a handler did not catch.
    static void error(const QString &text);
    // Asks a Yes/No question; true when the answer is Yes.
    static bool ask(const QString &text);

    // Replaces the real boxes (tests).  The handler's result is the answer to
    // a question (true for Yes) and is ignored for the other kinds.
    using Handler = std::function<bool(const Message &)>;
    static void setHandler(Handler handler);
    static void resetHandler();

    // The front end's way of showing a message (same contract as a handler).
    static void setPresenter(Handler presenter);
    static bool hasPresenter();

private:
    static bool show(Kind kind, const QString &text);
};
