#pragma once

// The fixture of the tests that drive the main window: its own settings folder, the recording
// platform, the window started when a test asks, and its controls by their object names.

#include "gui_test_support.h"

#include "board_widget.h"
#include "main_form.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace pictog::gui::test {

class WindowTest : public ::testing::Test
{
public:
    QTemporaryDir dir;
    FakePlatform platform;
    std::unique_ptr<TFormMain> form;

    void start()
    {
        form = std::make_unique<TFormMain>(dir.path(), platform.services());
        form->show();
        QApplication::setActiveWindow(form.get());
    }
    template <class T> T* child(const char* name) const
    {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString line() const { return child<QLineEdit>("EditFENLine")->text(); }
    BoardWidget* board() const { return child<BoardWidget>("Pictogram2D1"); }
    void trigger(const char* action) { child<QAction>(action)->trigger(); }
};

} // namespace pictog::gui::test
