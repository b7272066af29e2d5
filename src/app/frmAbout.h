#pragma once

#include <QPixmap>
#include <QWidget>

class QLabel;
class QPushButton;

// The About window: product name, version and web address. Modeless and one
// at a time; it is deleted when closed, so instance() is null again then.
class frmAbout : public QWidget {
    Q_OBJECT
public:
    // Creates the window (owned by mainWindow, which may be null) or raises
    // the one already open, and returns it.
    static frmAbout *showAbout(QWidget *mainWindow);
    // The open About window, or nullptr.
    static frmAbout *instance();
    // The product's picture, size × size pixels, drawn rather than loaded so
    // the program needs no image files.
    static QPixmap productPicture(int size);

    void cmdOk_Click();
    void Label1_Click();

    QLabel *picIcon;
    QLabel *lblProduct;
    QLabel *lblVersion;
    QLabel *Label1;
    QPushButton *cmdOk;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit frmAbout(QWidget *parent);
};
