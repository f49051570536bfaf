#pragma once
// ShownPage: a Rar or Zip page shown for a test. Alone, it is a window of its own with the
// context the main window hands it: the program paths and a folder picker set up as the
// program's. Inside the main window (TForm1), for what the window itself decides, it is the
// window's current page.
#include "app/MainWindow.h"
#include "archiving/PageContext.h"
#include "platform/widgets/FolderPicker.h"
#include "support/gui/find.h"
#include "support/gui/program_dir.h"

#include <QStackedWidget>

#include <memory>
#include <type_traits>

template <class Page> class ShownPage {
public:
    Page* openAlone(const pkm::ProgramPaths& paths)
    {
        close();
        picker_ = std::make_unique<TBrowseDirectoryDlg>();
        picker_->configureForPakmaster();
        alone_ = std::make_unique<Page>(pkm::PageContext {paths, picker_.get()}, nullptr);
        alone_->show();
        return alone_.get();
    }

    // The main window of a program directory with an empty Release.ini, on the page of this
    // objectName.
    Page* openInMainWindow(ProgramDir& dir, const char* name)
    {
        close();
        dir.writeIni();
        window_ = std::make_unique<TForm1>(dir.paths());
        window_->show();
        // The window builds its pages when they are first needed.
        Page* page = nullptr;
        if constexpr (std::is_same_v<Page, pkm::RarPage>)
            page = window_->rarPage();
        else
            page = window_->zipPage();
        EXPECT_EQ(page->objectName(), QString::fromLatin1(name));
        find<QStackedWidget>(window_, "Notebook1")->setCurrentWidget(page);
        return page;
    }

    TForm1* mainWindow() const { return window_.get(); }

private:
    void close()
    {
        window_.reset();
        alone_.reset();
        picker_.reset();
    }

    // Declared before the page that points to it, so it goes after it.
    std::unique_ptr<TBrowseDirectoryDlg> picker_;
    std::unique_ptr<Page> alone_;
    std::unique_ptr<TForm1> window_;
};
