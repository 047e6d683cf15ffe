// The widget tests' classes, run by one program, a class at a time:
// `widget_tests CLASS [QTest's arguments]`. One program links the window's library
// once, where a program a class linked it a dozen times. Each class's file ends with
// SOLVANE_TEST_CLASS(ItsClass) where a QTest program would have QTEST_MAIN.
#pragma once

#include <QObject>

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace test {

using TestClassFactory = std::function<std::unique_ptr<QObject>()>;

// The classes by name, each made only when its name is asked for.
std::map<std::string, TestClassFactory>& TestClasses();

struct TestClassEntry {
    TestClassEntry(const char* name, TestClassFactory factory) { TestClasses().emplace(name, std::move(factory)); }
};

}  // namespace test

#define SOLVANE_TEST_CLASS(Class) \
    static const test::TestClassEntry kTestClassEntry##Class(#Class, [] { return std::make_unique<Class>(); });
