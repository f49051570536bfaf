// The program started as a process: --help and --version answer without a display and open no
// window; anything else on the command line is refused in one line, pointing to the help, with
// exit status 2.
#include "app/command_line.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

using namespace pkm;

TEST(Program, AnswersItsOptionsWithoutADisplay)
{
    struct Row {
        QStringList args;
        int exitCode;
        std::string out;
        std::string err;
    };
    const Row rows[] = {
        {{"--help"}, 0, pkm::helpText(), ""},
        {{"-h"}, 0, pkm::helpText(), ""},
        {{"--version"}, 0, pkm::versionText(), ""},
        {{"-V"}, 0, "Pakmaster " PAKMASTER_VERSION "\n", ""},
        {{"zips", "--help"}, 0, pkm::helpText("zips"), ""},
        {{"--frobnicate"}, 2, "", "pakmaster: unknown option '--frobnicate'\nTry 'pakmaster --help'.\n"},
        {{"zips", "--output", "out", "--name", "disk01"},
         2,
         "",
         "pakmaster: --count is required\nTry 'pakmaster zips --help'.\n"},
        {{"generate", "--frobnicate"},
         2,
         "",
         "pakmaster: unknown option '--frobnicate' for generate\nTry 'pakmaster generate --help'.\n"},
    };
    // No display at all: a window, or only the application object, would end the program
    // with Qt's complaint instead.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(PAKMASTER_BIN_DIR "/pakmaster"), row.args);
        ASSERT_TRUE(program.waitForFinished(-1));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), row.exitCode);
        EXPECT_EQ(program.readAllStandardOutput().toStdString(), row.out);
        EXPECT_EQ(program.readAllStandardError().toStdString(), row.err);
    }
}
