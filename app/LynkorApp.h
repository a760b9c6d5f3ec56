#pragma once

#include <QByteArray>
#include <QStringList>
#include <memory>

class Prompter;
class MainWindow;
class Board;
class BoardState;
class Launcher;

// The wiring of the program: the real services, the board and its window.
class LynkorApp
{
public:
    // prompter: the dialogs to use; the real ones when null.
    LynkorApp(QStringList arguments, QByteArray programDir, Prompter* prompter = nullptr);
    ~LynkorApp();

    // False when another instance runs on the same data folder; it has been
    // handed the arguments and this one should end.
    bool claimInstance();
    // Builds the board from the files and shows the window as its start mode says.
    void start();
    // True once a termination request (SIGTERM, the session's end) came: the
    // program ends, even when it came before the event loop ran.
    bool terminating() const;

    // After start().
    MainWindow& window();
    Board& board();
    BoardState& state();
    Launcher& launcher();

private:
    struct Parts;
    std::unique_ptr<Parts> m;
};
