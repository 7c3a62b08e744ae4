#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TAboutBox;
}

namespace pictog::gui {

class Shell;

// The About box: the program's picture, name, version, maker's notice, a one-line description
// and the path of the settings file above an OK button. A click on the picture opens the home page
// through the shell and leaves the box open. The main window creates one for each showing.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    // The version label's text, set on every showing.
    static constexpr const char* VersionLabel = "V1.01  (12-OCT-2002)";

    // shell is not owned and may be null (the picture then opens nothing).
    TAboutBox(QString homePageUrl, Shell* shell, QWidget* parent = nullptr);
    ~TAboutBox() override;

    // Shows "Settings: PATH" under the description; the line stays empty until this is called.
    void setSettingsFile(const QString& path);

public slots:
    void ImagePictogClick();

protected:
    void FormShow();
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::TAboutBox> ui;
    QString m_homePageUrl;
    Shell* m_shell;
};

} // namespace pictog::gui
