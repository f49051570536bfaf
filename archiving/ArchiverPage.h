#pragma once
// ArchiverPage: what the Rar and Zip pages show the window around them, an output directory
// box and a Start button whose run may be under way.
#include <QWidget>

class QLineEdit;
class QPushButton;

namespace pkm {

class ArchiverPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // Fills the output directory box.
    void setOutputDirectory(const QString& dir);
    QString outputDirectory() const;
    // Fills the output directory box when it is empty.
    void offerOutputDirectory(const QString& dir);
    // A run is under way (its Start button is disabled).
    bool isRunning() const;

protected:
    // The page's own controls, set once it has made them.
    void setRunControls(QLineEdit* outputDirectory, QPushButton* start);

private:
    QLineEdit* outputDirectory_ = nullptr;
    QPushButton* start_ = nullptr;
};

} // namespace pkm
