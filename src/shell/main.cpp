#include "common/gbk.h"
#include "common/ui/prompts.h"
#include "mainwindow.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("岚川记数据工坊"));
    if (!lcj::gbk::available()) {
        QMessageBox::critical(nullptr, QStringLiteral("岚川记数据工坊"),
                              QStringLiteral("本机的Qt缺少GBK编码支持（需要带ICU的Qt 6），"
                                             "无法正确读写游戏文件，程序将退出。"));
        return 1;
    }
    lcj::DialogPrompts prompts;
    lcj::MainWindow window(prompts);
    window.show();
    return app.exec();
}
