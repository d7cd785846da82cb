#pragma once

// What a child window may ask of the main window, without knowing the main window itself.
class MainFrame
{
public:
    virtual ~MainFrame() = default;

    // Presses or releases the toolbar's "Expand" button and ticks or clears its menu item.
    virtual void SetExpandPressed(bool pressed) = 0;
    // Enables or disables copying the photo shown (toolbar button and menu item).
    virtual void SetCopyPhotoEnabled(bool enabled) = 0;
    // The photo editor has closed: its "Expand" button is released and rests until it opens again.
    virtual void PhotoEditorClosed() = 0;
};
