#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

class QToolButton;
class RecordTable;

// A record navigator bar for a record table: First, Prior, Next, Last,
// Insert, Delete and Refresh, each a small button named for screen readers
// by what it does.  Before a button is carried out the owner's hook may
// refuse it or do work of its own; then the navigator moves the cursor,
// inserts a new record or deletes the current one (Refresh does nothing in
// the table: the hook shows the stored values again).
class RecordNavigator : public QWidget {
    Q_OBJECT
public:
    enum class Button { First, Prior, Next, Last, Insert, Delete, Refresh };
    static constexpr int kButtonCount = 7;

    RecordNavigator(RecordTable &table, QWidget *parent = nullptr);

    // Runs before each button's action; returning false skips the action.
    // Errors thrown by the hook or the action reach the general error report.
    void setBeforeAction(std::function<bool(Button)> hook) { m_beforeAction = std::move(hook); }

    QToolButton *button(Button which) const;
    static QString buttonName(Button which);

    // Presses a button as a click does.
    void click(Button which);

    QSize sizeHint() const override;

private:
    void perform(Button which);
    void updateButtons();

    RecordTable &m_table;
    QToolButton *m_buttons[kButtonCount] = {};
    std::function<bool(Button)> m_beforeAction;
};
