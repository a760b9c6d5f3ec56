#pragma once

#include <QDialog>

class GlyphChooser;
class IconLibrary;
class QLabel;
class QListWidget;

// TGlyphForm on the screen.
class GlyphChooserWidget : public QDialog
{
    Q_OBJECT
public:
    GlyphChooserWidget(GlyphChooser& model, IconLibrary& icons, QWidget* parent = nullptr);

private:
    void fill();

    GlyphChooser& m_model;
    IconLibrary& m_icons;
    QLabel* m_path;
    QListWidget* m_strip;
};
