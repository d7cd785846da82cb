#pragma once

class QString;
class QWidget;

// What a child window may ask of the main window, without knowing the main window itself.
class MainFrame
{
public:
    virtual ~MainFrame() = default;

    // Shows the child window of this name, making it first if it is not open; an open one only
    // comes to the front. Returns it, or null when there is no such window.
    virtual QWidget* ShowChild(const QString& name) = 0;
    // The open child window of this name, or null.
    virtual QWidget* Child(const QString& name) const = 0;

    // Presses or releases the toolbar's "Expand" button and ticks or clears its menu item.
    virtual void SetExpandPressed(bool pressed) = 0;
    // Enables or disables copying the photo shown (toolbar button and menu item).
    virtual void SetCopyPhotoEnabled(bool enabled) = 0;
    // The photo editor has closed: its "Expand" button is released and rests until it opens again.
    virtual void PhotoEditorClosed() = 0;
    // True while Exit, the main window's closing or a backup closes every child window: a window
    // that closes then must not open another.
    virtual bool ClosingAll() const = 0;
};
