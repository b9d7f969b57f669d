// The editor's command line (help, version, usage errors, the file argument as a path or a
// file:// URI, the toolkit's options kept apart) and where the data files are found.

#include "CommandLine.h"
#include "DataFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using TAction = TCommandLine::TAction;
Q_DECLARE_METATYPE(TAction)

namespace {

TCommandLine ParseWords(const QStringList& words) {
    std::vector<std::string> storage{"tindra"};
    for (const QString& w : words)
        storage.push_back(w.toStdString());
    std::vector<const char*> argv;
    for (const std::string& s : storage)
        argv.push_back(s.c_str());
    return TCommandLine::Parse(static_cast<int>(argv.size()), argv.data());
}

QStringList ToList(const std::vector<std::string>& words) {
    QStringList list;
    for (const std::string& w : words)
        list << QString::fromStdString(w);
    return list;
}

} // namespace

class TCommandLineTest : public QObject {
    Q_OBJECT

  private slots:
    void Parse_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<TAction>("action");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("toolkit"); // after the program name
        QTest::addColumn<QString>("error");       // part of the error text

        const QStringList none;
        QTest::newRow("nothing") << none << TAction::RunEditor << "" << none << "";
        QTest::newRow("path") << QStringList{"/tmp/a b.gif"} << TAction::RunEditor << "/tmp/a b.gif" << none
                              << "";
        QTest::newRow("relative path")
            << QStringList{"star.gif"} << TAction::RunEditor << "star.gif" << none << "";
        QTest::newRow("file URI") << QStringList{"file:///home/u/My%20Icons/st%C3%A1r.gif"}
                                  << TAction::RunEditor << "/home/u/My Icons/stár.gif" << none << "";
        QTest::newRow("help") << QStringList{"--help"} << TAction::ShowHelp << "" << none << "";
        QTest::newRow("short help after a file")
            << QStringList{"a.gif", "-h"} << TAction::ShowHelp << "" << none << "";
        QTest::newRow("version") << QStringList{"--version"} << TAction::ShowVersion << "" << none << "";
        QTest::newRow("convert") << QStringList{"--convert", "a.gif", "b.ico"} << TAction::Convert << ""
                                 << none << "";
        QTest::newRow("toolkit options kept apart")
            << QStringList{"-platform", "offscreen", "--style=fusion", "-reverse", "a.gif"}
            << TAction::RunEditor << "a.gif"
            << QStringList{"-platform", "offscreen", "--style=fusion", "-reverse"} << "";
        QTest::newRow("dash file after --")
            << QStringList{"--", "-reverse"} << TAction::RunEditor << "-reverse" << none << "";
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << TAction::UsageError << "" << none
                                        << "unknown option --frobnicate";
        QTest::newRow("second file") << QStringList{"a.gif", "b.gif"} << TAction::UsageError << "" << none
                                     << "only one file";
        QTest::newRow("toolkit option without value")
            << QStringList{"-style"} << TAction::UsageError << "" << none << "-style needs a value";
        QTest::newRow("convert not first") << QStringList{"a.gif", "--convert"} << TAction::UsageError << ""
                                           << none << "--convert must come first";
        QTest::newRow("standard input")
            << QStringList{"-"} << TAction::UsageError << "" << none << "standard input";
        QTest::newRow("empty name") << QStringList{""} << TAction::UsageError << "" << none << "empty";
        QTest::newRow("remote URI") << QStringList{"https://example.org/a.gif"} << TAction::UsageError << ""
                                    << none << "only local files";
        QTest::newRow("URI of another host") << QStringList{"file://server/a.gif"} << TAction::UsageError
                                             << "" << none << "does not name a local file";
    }

    void Parse() {
        QFETCH(QStringList, args);
        QFETCH(TAction, action);
        QFETCH(QString, file);
        QFETCH(QStringList, toolkit);
        QFETCH(QString, error);
        const TCommandLine line = ParseWords(args);
        QCOMPARE(line.Action, action);
        if (action == TAction::RunEditor) {
            QCOMPARE(QString::fromStdString(line.File), file);
            QCOMPARE(ToList(line.ToolkitArgs), QStringList{"tindra"} + toolkit);
        }
        if (error.isEmpty())
            QVERIFY(line.Error.empty());
        else
            QVERIFY2(QString::fromStdString(line.Error).contains(error), line.Error.c_str());
    }

    void LocalPath_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("path");
        QTest::newRow("plain path unchanged") << "/a/b%20c.gif" << true << "/a/b%20c.gif";
        QTest::newRow("name with a colon") << "my:icon.gif" << true << "my:icon.gif";
        QTest::newRow("empty host") << "file:///a/b.gif" << true << "/a/b.gif";
        QTest::newRow("localhost") << "file://localhost/a/b.gif" << true << "/a/b.gif";
        QTest::newRow("one slash") << "file:/a/b.gif" << true << "/a/b.gif";
        QTest::newRow("upper-case scheme") << "FILE:///a.gif" << true << "/a.gif";
        QTest::newRow("escaped hash, fragment dropped") << "file:///a%23b.gif#x" << true << "/a#b.gif";
        QTest::newRow("no path") << "file://" << false << "";
        QTest::newRow("relative") << "file:a.gif" << false << "";
        QTest::newRow("bad escape") << "file:///a%2" << false << "";
        QTest::newRow("not hex") << "file:///a%zz.gif" << false << "";
        QTest::newRow("NUL byte") << "file:///a%00.gif" << false << "";
    }

    void LocalPath() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QString, path);
        bool gotOk = !ok;
        const std::string got = TCommandLine::LocalPath(text.toStdString(), &gotOk);
        QCOMPARE(gotOk, ok);
        if (ok) QCOMPARE(QString::fromStdString(got), path);
    }

    void HelpNamesEveryForm() {
        const QString help = QString::fromStdString(TCommandLine::HelpText());
        for (const char* word :
             {"Usage: tindra", "--convert", "--without-border", "--version", "Ctrl+L", "file://"})
            QVERIFY2(help.contains(word), word);
        QVERIFY(QString::fromStdString(TCommandLine::VersionText()).startsWith("Tindra 2."));
    }

    // images.iml beside the program (the build tree) wins over ../share/tindra (an install);
    // with neither the place beside the program is named, so the error says where it looked.
    void DataFileBesideTheProgramThenInstalled() {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        QVERIFY(QDir(root.path()).mkpath("bin"));
        QVERIFY(QDir(root.path()).mkpath("share/tindra"));
        const QString bin = root.filePath("bin");
        const QString beside = root.filePath("bin/images.iml");
        const QString installed = root.filePath("share/tindra/images.iml");

        QCOMPARE(TDataFiles::Find(bin, "images.iml"), beside);
        QFile(installed).open(QIODevice::WriteOnly);
        QCOMPARE(TDataFiles::Find(bin, "images.iml"), installed);
        QFile(beside).open(QIODevice::WriteOnly);
        QCOMPARE(TDataFiles::Find(bin, "images.iml"), beside);
        // A folder of that name is no data file.
        QVERIFY(QFile::remove(beside));
        QVERIFY(QDir(bin).mkdir("images.iml"));
        QCOMPARE(TDataFiles::Find(bin, "images.iml"), installed);
    }

    // Documents start beside a program that runs from its own folder (data files beside it), but in
    // the user's pictures folder, or home without one, for an installed program.
    void DocumentFolderBesideOrInTheUsersFolders() {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        QVERIFY(QDir(root.path()).mkpath("bin"));
        QVERIFY(QDir(root.path()).mkpath("share/tindra"));
        QVERIFY(QDir(root.path()).mkpath("home"));
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", root.filePath("home").toUtf8());
        const QString bin = root.filePath("bin");
        const auto withSlash = [](const QString& path) { return QDir::toNativeSeparators(path + "/"); };

        QCOMPARE(TDataFiles::DocumentFolder(bin), withSlash(bin)); // no data files anywhere
        QFile(root.filePath("share/tindra/images.iml")).open(QIODevice::WriteOnly);
        QCOMPARE(TDataFiles::DocumentFolder(bin), withSlash(root.filePath("home")));
        QVERIFY(QDir(root.path()).mkpath("home/Pictures"));
        QCOMPARE(TDataFiles::DocumentFolder(bin), withSlash(root.filePath("home/Pictures")));
        QFile(root.filePath("bin/images.iml")).open(QIODevice::WriteOnly);
        QCOMPARE(TDataFiles::DocumentFolder(bin), withSlash(bin));
        qputenv("HOME", oldHome);
    }
};

QTEST_GUILESS_MAIN(TCommandLineTest)
#include "CommandLineTest.moc"
