#pragma once
// The application object: its title, and the last guard that keeps any exception out of Qt's
// event loop (every handler runs under the default error report already).

#include <QApplication>

class TKelvaneApplication final : public QApplication {
public:
    TKelvaneApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
