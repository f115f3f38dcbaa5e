// lcjtool: the batch command line over the editors' own forms.
#include "cli.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return lcj::cli::run(args);
}
