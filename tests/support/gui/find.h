#pragma once
// Controls found by their objectName, as a user finds them by their caption: a control that is
// missing fails the test.
#include <QObject>
#include <QString>
#include <gtest/gtest.h>

#include <memory>

template <class T> T* find(const QObject* parent, const char* name)
{
    T* found = parent == nullptr ? nullptr : parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no " << name;
    return found;
}

template <class T, class W> T* find(const std::unique_ptr<W>& parent, const char* name)
{
    return find<T>(parent.get(), name);
}
