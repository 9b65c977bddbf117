#pragma once

#include <QApplication>
#include <QLocale>
#include <QTest>

// Like QTEST_MAIN, with the German locale, so dates read and print as a German clerk types them.
#define CLAVARO_TEST_MAIN(TestClass)                                                                                   \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));                                               \
        QApplication::setAttribute(Qt::AA_Use96Dpi, true);                                                             \
        QApplication app(argc, argv);                                                                                  \
        TestClass tc;                                                                                                  \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }
