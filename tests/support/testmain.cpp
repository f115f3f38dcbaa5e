#include "testmain.h"

#include <QApplication>
#include <QMetaMethod>
#include <QTest>
#include <memory>
#include <vector>

namespace lcj::test {

namespace {

struct TestClass {
    const char* name;
    TestFactory make;
};

std::vector<TestClass>& testClasses() {
    static std::vector<TestClass> classes;
    return classes;
}

bool hasTestFunction(const QObject& object, const QByteArray& function) {
    const QMetaObject* meta = object.metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() == QMetaMethod::Slot && method.name() == function)
            return true;
    }
    return false;
}

// Options of Qt Test that take a value of their own.
bool takesValue(const QByteArray& option) {
    static const QList<QByteArray> withValue{
        "-o",    "-platform", "-maxwarnings",  "-eventdelay",   "-keydelay",   "-mousedelay",
        "-seed", "-repeat",   "-minimumvalue", "-minimumtotal", "-iterations", "-median"};
    return withValue.contains(option);
}

} // namespace

int registerTestClass(const char* name, TestFactory make) {
    testClasses().push_back({name, make});
    return int(testClasses().size());
}

} // namespace lcj::test

int main(int argc, char** argv) {
    using namespace lcj::test;
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);

    // Split the arguments: class names, function names, and the options every
    // class is given.
    QList<QByteArray> classesNamed;
    QList<QByteArray> functions;
    QList<QByteArray> options;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg.startsWith('-')) {
            options << arg;
            if (takesValue(arg) && i + 1 < argc)
                options << QByteArray(argv[++i]);
            continue;
        }
        bool isClass = false;
        for (const TestClass& test : testClasses())
            isClass = isClass || arg == test.name;
        (isClass ? classesNamed : functions) << arg;
    }

    int failures = 0;
    for (const TestClass& test : testClasses()) {
        if (!classesNamed.isEmpty() && !classesNamed.contains(test.name))
            continue;
        const std::unique_ptr<QObject> object(test.make());
        QList<QByteArray> args{QByteArray(argv[0])};
        for (int i = 0; i < options.size(); ++i) {
            args << options[i];
            // One output file a class.
            if (options[i] == "-o" && i + 1 < options.size()) {
                QByteArray file = options[++i];
                const int comma = file.lastIndexOf(',');
                const int dot = file.lastIndexOf('.', comma < 0 ? -1 : comma);
                const QByteArray suffix = QByteArray("-") + test.name;
                file.insert(dot >= 0 ? dot : (comma >= 0 ? comma : file.size()), suffix);
                args << file;
            }
        }
        bool any = functions.isEmpty();
        for (const QByteArray& function : functions)
            if (hasTestFunction(*object, function.left(function.indexOf(':')))) {
                args << function;
                any = true;
            }
        if (!any)
            continue;
        std::vector<char*> pointers;
        for (QByteArray& arg : args)
            pointers.push_back(arg.data());
        failures += QTest::qExec(object.get(), int(pointers.size()), pointers.data());
    }
    return failures > 0 ? 1 : 0;
}
