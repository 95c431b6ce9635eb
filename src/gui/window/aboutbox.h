#pragma once

#include <QDialog>

class QPushButton;

// The About box: what the program is, and an OK button.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);

    QPushButton *OKButton;
};
