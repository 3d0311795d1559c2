#pragma once

#include <QDialog>

namespace voltaris::shell {

// The program's information window: title, description, version, author, rights, the legal
// warning and the logo; OK closes it.
class FAbout : public QDialog {
    Q_OBJECT
public:
    explicit FAbout(QWidget* parent = nullptr);
};

// The window shown while the program starts: logo, title, description, version and rights.
class FSplash : public QWidget {
    Q_OBJECT
public:
    explicit FSplash(QWidget* parent = nullptr);
};

}  // namespace voltaris::shell
