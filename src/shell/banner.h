#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;

namespace lcj {

// Picdb: the banner of the main window, with the product title and the credits.
class Banner : public QWidget {
    Q_OBJECT
public:
    explicit Banner(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    // The least height that still shows the title and every credit whole.
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Keeps the title and the credits centred. Their heights stay where they
    // are while they fit; a squeezed banner stacks them closer together, so
    // none of them is cut off below its lower edge.
    void Picdb_Resize();

    QLabel* Label1;
    QGroupBox* Frame1;
    QLabel* Label5;
};

} // namespace lcj
