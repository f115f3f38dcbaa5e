// One running program: a second start of the real lcjworkshop hands its paths
// to the one running with the same settings and ends; under other settings it
// runs its own; a socket left by a killed program is taken over. What the
// running program opened is read from its lcj.shell log on stderr. Beside
// them: a hand-over that is no proper message is dropped, and the window
// handed to comes to the front.
#include "samplegen/samplegame.h"
#include "shell/mainwindow.h"
#include "shell/singleinstance.h"
#include "shell/startup.h"
#include "support/scriptedprompts.h"
#include "support/testmain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using namespace lcj;

namespace {

// The real program, started beside this test with the settings profile `config`.
class Program {
public:
    Program(const QString& config, const QStringList& arguments, const QString& folder,
            const QString& binary = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                           QStringLiteral("lcj.shell.info=true"));
        process_.setProcessEnvironment(environment);
        process_.setWorkingDirectory(folder);
        process_.start(binary.isEmpty()
                           ? QCoreApplication::applicationDirPath() + QStringLiteral("/lcjworkshop")
                           : binary,
                       arguments);
    }
    // A program still running is killed (SIGKILL), as by a crash.
    ~Program() {
        process_.kill();
        process_.waitForFinished(5000);
    }
    // Waits until the program's log holds `text`.
    bool logs(const QString& text) {
        QElapsedTimer clock;
        clock.start();
        while (!log().contains(text) && clock.elapsed() < 10000)
            process_.waitForReadyRead(100);
        return log().contains(text);
    }
    QString log() {
        log_ += process_.readAllStandardError();
        return QString::fromUtf8(log_);
    }
    // The exit code once it ended by itself; -1 while it runs on.
    int ended(int waitMs = 10000) {
        process_.waitForFinished(waitMs);
        return process_.state() == QProcess::NotRunning &&
                       process_.exitStatus() == QProcess::NormalExit
                   ? process_.exitCode()
                   : -1;
    }
    QString output() { return QString::fromUtf8(process_.readAllStandardOutput()); }
    // The local socket's path it listens on, empty before.
    QString socketPath() {
        const QString marker = QStringLiteral("listening on ");
        const QString text = log();
        const qsizetype at = text.indexOf(marker);
        return at < 0 ? QString() : text.mid(at + marker.size()).section(u'\n', 0, 0).trimmed();
    }

private:
    QProcess process_;
    QByteArray log_;
};

// The programs started here keep their settings in XDG profiles of their own.
#ifdef Q_OS_WIN
#define NEEDS_OWN_PROFILES() QSKIP("the settings are the registry's here")
#else
#define NEEDS_OWN_PROFILES()
#endif

QString opened(const QString& path) {
    return QStringLiteral("opened %1 in ").arg(QDir::toNativeSeparators(path));
}

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tmp;
    QString game;

    QString profile(const QString& name) {
        return tmp->filePath(QStringLiteral("profile-") + name);
    }
    QString in(const QString& name) const { return QDir(game).filePath(name); }

    // A first program, listening, under `config`.
    std::unique_ptr<Program> first(const QString& config) {
        auto program = std::make_unique<Program>(config, QStringList{}, game);
        return program->logs(QStringLiteral("listening on ")) ? std::move(program) : nullptr;
    }

private slots:
    void init() {
        tmp = std::make_unique<QTemporaryDir>();
        game = tmp->filePath(QStringLiteral("游戏"));
        QVERIFY(QDir().mkpath(game));
        for (const auto& [name, bytes] :
             {std::pair{QStringLiteral("data.e5"), sample::dataFile()},
              std::pair{QStringLiteral("Imsg.e5"), sample::messageFile()}}) {
            QFile f(in(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(bytes), bytes.size());
        }
    }

    // The second start ends with 0 and the first opens what it was given, the
    // relative paths taken from the second's working folder.
    void aSecondStartHandsItsPathsOver_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("openedPaths");
        QTest::addColumn<QString>("handedOver");
        QTest::addColumn<QString>("printed");
        QTest::newRow("a game file, relative")
            << QStringList{QStringLiteral("data.e5")} << QStringList{QStringLiteral("data.e5")}
            << QStringLiteral("1 paths") << QString();
        QTest::newRow("two files and an option")
            << QStringList{QStringLiteral("Imsg.e5"), QStringLiteral("--flag"),
                           in(QStringLiteral("data.e5"))}
            << QStringList{QStringLiteral("Imsg.e5"), QStringLiteral("data.e5")}
            << QStringLiteral("2 paths") << QString();
        QTest::newRow("no path: the window to the front")
            << QStringList{} << QStringList{} << QStringLiteral("0 paths") << QString();
        QTest::newRow("--version answered itself")
            << QStringList{QStringLiteral("--version")} << QStringList{} << QString()
            << QStringLiteral("lcjworkshop ");
        QTest::newRow("--help answered itself")
            << QStringList{QStringLiteral("--help")} << QStringList{} << QString()
            << QStringLiteral("usage: lcjworkshop");
    }
    void aSecondStartHandsItsPathsOver() {
        NEEDS_OWN_PROFILES();
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, openedPaths);
        QFETCH(QString, handedOver);
        QFETCH(QString, printed);
        auto running = first(profile(QStringLiteral("a")));
        QVERIFY(running);
        Program second(profile(QStringLiteral("a")), arguments, game);
        QCOMPARE(second.ended(), 0);
        QVERIFY2(!second.log().contains(QStringLiteral("listening on")), qPrintable(second.log()));
        if (printed.isEmpty())
            QCOMPARE(second.output(), QString());
        else
            QVERIFY(second.output().startsWith(printed));
        if (!handedOver.isEmpty())
            QVERIFY2(running->logs(QStringLiteral("a later start handed over ") + handedOver),
                     qPrintable(running->log()));
        for (const QString& name : openedPaths)
            QVERIFY2(running->logs(opened(in(name))), qPrintable(running->log()));
        QVERIFY2(!running->log().contains(QStringLiteral("opened")) || !openedPaths.isEmpty(),
                 qPrintable(running->log()));
    }

    // Other settings, another program: another profile, or a portable copy
    // with its lcjworkshop.ini beside it.
    void otherSettingsRunTheirOwnProgram_data() {
        QTest::addColumn<bool>("portable");
        QTest::newRow("another profile") << false;
        QTest::newRow("a portable copy") << true;
    }
    void otherSettingsRunTheirOwnProgram() {
        NEEDS_OWN_PROFILES();
        QFETCH(bool, portable);
        auto running = first(profile(QStringLiteral("a")));
        QVERIFY(running);
        QString binary;
        if (portable) {
            const QString copy = tmp->filePath(QStringLiteral("portable"));
            QVERIFY(QDir().mkpath(copy));
            binary = QDir(copy).filePath(QStringLiteral("lcjworkshop"));
            QVERIFY(QFile::copy(
                QCoreApplication::applicationDirPath() + QStringLiteral("/lcjworkshop"), binary));
            QFile ini(QDir(copy).filePath(QStringLiteral("lcjworkshop.ini")));
            QVERIFY(ini.open(QIODevice::WriteOnly));
        }
        Program other(profile(portable ? QStringLiteral("a") : QStringLiteral("b")),
                      {in(QStringLiteral("data.e5"))}, game, binary);
        QVERIFY2(other.logs(opened(in(QStringLiteral("data.e5")))), qPrintable(other.log()));
        QVERIFY(other.logs(QStringLiteral("listening on ")));
        QVERIFY(other.socketPath() != running->socketPath());
        QCOMPARE(other.ended(0), -1);
        QVERIFY2(!running->log().contains(QStringLiteral("handed over")),
                 qPrintable(running->log()));
    }

    // Several files opened together start the program once for each at the
    // same moment: one of them runs on and opens them all.
    void startsAtTheSameMomentShareOneProgram() {
        NEEDS_OWN_PROFILES();
        std::vector<std::unique_ptr<Program>> starts;
        for (const QString& name : {QStringLiteral("data.e5"), QStringLiteral("Imsg.e5")})
            starts.push_back(
                std::make_unique<Program>(profile(QStringLiteral("a")), QStringList{name}, game));
        // The one that took the name runs on, the other hands over and ends.
        Program* running = nullptr;
        const auto listening = [&] {
            for (auto& start : starts)
                if (start->log().contains(QStringLiteral("listening on")))
                    running = start.get();
            return running != nullptr;
        };
        QTRY_VERIFY_WITH_TIMEOUT(listening(), 10000);
        for (auto& start : starts)
            QCOMPARE(start->ended(start.get() == running ? 0 : 10000),
                     start.get() == running ? -1 : 0);
        QVERIFY2(running->logs(opened(in(QStringLiteral("data.e5")))) &&
                     running->logs(opened(in(QStringLiteral("Imsg.e5")))),
                 qPrintable(running->log()));
    }

    // A program killed leaves its socket behind; the next start takes it over
    // and the one after that hands over to it.
    void aKilledProgramsSocketIsTakenOver() {
        NEEDS_OWN_PROFILES();
        auto killed = first(profile(QStringLiteral("a")));
        QVERIFY(killed);
        const QString socket = killed->socketPath();
        killed.reset();
#ifdef Q_OS_UNIX
        QVERIFY2(QFileInfo::exists(socket), qPrintable(socket));
#endif
        Program next(profile(QStringLiteral("a")), {QStringLiteral("data.e5")}, game);
        QVERIFY2(next.logs(QStringLiteral("listening on ") + socket), qPrintable(next.log()));
        QVERIFY(next.logs(opened(in(QStringLiteral("data.e5")))));
        Program after(profile(QStringLiteral("a")), {QStringLiteral("Imsg.e5")}, game);
        QCOMPARE(after.ended(), 0);
        QVERIFY2(next.logs(opened(in(QStringLiteral("Imsg.e5")))), qPrintable(next.log()));
    }

    // Whatever comes on the socket that is no proper message is dropped
    // unanswered; the program takes the next proper one.
    void aMalformedHandOverIsDropped_data() {
        QTest::addColumn<QByteArray>("bytes");
        const auto number = [](quint32 n) {
            QByteArray raw(4, '\0');
            qToBigEndian(n, raw.data());
            return raw;
        };
        const QByteArray one = QByteArray("LCJ1") + number(1);
        QTest::newRow("another magic") << QByteArray("GET / HTTP/1.0\r\n\r\n");
        QTest::newRow("too many paths")
            << QByteArray("LCJ1") + number(SingleInstance::maxPaths + 1);
        QTest::newRow("an empty path") << one + number(0);
        QTest::newRow("no UTF-8") << one + number(2) + QByteArray("\xC3\x28");
        QTest::newRow("a NUL in the path") << one + number(3) + QByteArray("a\0b", 3);
        QTest::newRow("bytes past the end") << one + number(1) + QByteArray("ab");
        QTest::newRow("a length past the limit")
            << one + number(SingleInstance::maxMessageBytes + 1);
        QTest::newRow("larger than the limit")
            << one + number(SingleInstance::maxMessageBytes) +
                   QByteArray(SingleInstance::maxMessageBytes, 'a');
        QTest::newRow("cut short, then silence") << one + number(10) + QByteArray("abc");
    }
    void aMalformedHandOverIsDropped() {
        QFETCH(QByteArray, bytes);
        const QString name = SingleInstance::serverName(tmp->filePath(QStringLiteral("x.ini")));
        SingleInstance running(name);
        QVERIFY(!running.handOverOrListen({}));
        QVERIFY(running.listening());
        QSignalSpy received(&running, &SingleInstance::pathsReceived);
        QLocalSocket bad;
        bad.connectToServer(name);
        QVERIFY(bad.waitForConnected(2000));
        bad.write(bytes);
        QTRY_COMPARE_WITH_TIMEOUT(bad.state(), QLocalSocket::UnconnectedState,
                                  SingleInstance::messageTimeoutMs + 3000);
        QCOMPARE(bad.readAll(), QByteArray());
        QCOMPARE(received.size(), 0);
        // A proper one from another start after it.
        const QStringList paths{tmp->filePath(QStringLiteral("战场 01.bmp")),
                                QStringLiteral("C:\\游戏\\S_01.eex")};
        QLocalSocket good;
        good.connectToServer(name);
        QVERIFY(good.waitForConnected(2000));
        good.write(SingleInstance::encode(paths));
        QTRY_COMPARE(received.size(), 1);
        QCOMPARE(received[0][0].toStringList(), paths);
        // The answer may reach this end of a Windows pipe a little after the paths were taken.
        QVERIFY(good.bytesAvailable() > 0 || good.waitForReadyRead(5000));
        QCOMPARE(good.readAll(), QByteArray("K"));
    }

    // The window a later start hands over to leaves the task bar and comes forward.
    void theWindowComesToTheFront() {
        test::ScriptedPrompts prompts;
        MainWindow window(prompts);
        QWidget other;
        window.showMinimized();
        other.show();
        other.activateWindow();
        QTRY_VERIFY(other.isActiveWindow());
        bringToFront(window);
        QTRY_VERIFY(window.isActiveWindow());
        QVERIFY(!window.isMinimized());
        QVERIFY(window.isVisible());
    }
};

LCJ_TEST_MAIN(SingleInstanceTest)
#include "singleinstance_test.moc"
