#pragma once

// Several Qt Test classes in one test program: each test file registers its class
// with LCJ_TEST_MAIN(Class) in place of QTEST_MAIN(Class), and the program's main
// (testmain.cpp) runs every registered class in turn, as one QTEST_MAIN would run
// its one class. Arguments:
//   Class            runs only that class (several may be named);
//   function names   run in every class that has them, the others skipped;
//   every other Qt Test option applies to each class; "-o FILE,FORMAT" writes one
//   file a class, FILE with "-Class" before its ending.

#include <QObject>

namespace lcj::test {

using TestFactory = QObject* (*)();
// Adds a class to the program's list; the value only serves the static initialiser.
int registerTestClass(const char* name, TestFactory make);

} // namespace lcj::test

#define LCJ_TEST_MAIN(Class)                                                                       \
    namespace {                                                                                    \
    const int lcjTestRegistered##Class =                                                           \
        ::lcj::test::registerTestClass(#Class, []() -> QObject* { return new Class; });            \
    }
