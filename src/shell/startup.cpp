#include "startup.h"

#include "common/gbk.h"
#include "common/ui/prompts.h"
#include "mainwindow.h"

#include <QApplication>
#include <QMessageBox>

namespace lcj {

int runProgram(int& argc, char** argv, const std::function<int(QWidget& mainWindow)>& run) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("岚川记数据工坊"));
    if (!gbk::available()) {
        QMessageBox::critical(nullptr, QStringLiteral("岚川记数据工坊"),
                              QStringLiteral("本机的Qt缺少GBK编码支持（需要带ICU的Qt 6），"
                                             "无法正确读写游戏文件，程序将退出。"));
        return 1;
    }
    DialogPrompts prompts;
    MainWindow window(prompts);
    window.show();
    return run(window);
}

} // namespace lcj
