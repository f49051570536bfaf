#pragma once
// The application object and its general error handler: an error that escapes an event
// handler is shown in an error box with its own text, and the program goes on.
#include <QApplication>
#include <exception>
#include <string>
#include <utility>

namespace pkm {

inline const char* const kApplicationTitle = "Pakmaster v1.0";

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The directory of the program's executable, with its trailing separator.
std::string applicationDirectory();

// Shows an error the way the general handler does (caption: the application title).
void ShowException(const std::exception& error);

// Runs a handler body and reports anything it throws through the general error handler.
template <class F> void guarded(F&& body)
{
    try {
        std::forward<F>(body)();
    } catch (const std::exception& e) {
        ShowException(e);
    }
}

} // namespace pkm
