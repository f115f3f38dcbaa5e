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

    QSize sizeHint() const override { return {900, 520}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Keeps the title and the credits centred; their heights stay where they are.
    void Picdb_Resize();

    QLabel* Label1;
    QGroupBox* Frame1;
    QLabel* Label5;
};

} // namespace lcj
