#pragma once

// The offscreen platform on a screen of a given size and display scale, for
// the tests of how windows fit: a screen as Windows reports it, where 96 dpi
// is 100 % and 144 dpi 150 %.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <vector>

namespace lcj::test {

// Starts the application on that screen and returns what `run` returns, with
// the program's arguments (to hand on to QTest::qExec).
inline int runOnScreen(int argc, char** argv, int width, int height, int dpi,
                       const std::function<int(int, char**)>& run) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("screen.json")));
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    // The platform scales by logicalDpi / logicalBaseDpi, as on Windows.
    file.write(QStringLiteral(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": %1,
                                  "height": %2, "logicalDpi": %3, "logicalBaseDpi": 96,
                                  "dpr": 1}]})")
                   .arg(width)
                   .arg(height)
                   .arg(dpi)
                   .toUtf8());
    file.close();
    // On the command line, where it wins over a platform given there before
    // (the Windows tests under Wine pass "-platform offscreen").
    // The platform's options are split at colons: the file is named without
    // a drive letter, from its own folder.
    const QString home = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QByteArray flag("-platform"), platform = "offscreen:configfile=screen.json";
    std::vector<char*> args(argv, argv + argc);
    args.push_back(flag.data());
    args.push_back(platform.data());
    int count = int(args.size());
    args.push_back(nullptr);
    QApplication app(count, args.data());
    QDir::setCurrent(home); // the folder can go again when the test ends
    return run(count, args.data());
}

} // namespace lcj::test
