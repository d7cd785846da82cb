#pragma once

class QString;

// What the main window and the other windows ask of the photo editor, without knowing the editor.
class PhotoEditor
{
public:
    virtual ~PhotoEditor() = default;

    // Settles a pending change before the editor is moved to another photo: asks "Save Changes?";
    // Yes saves, No discards. False when the change stays pending (its save failed).
    virtual bool LeaveChange() = 0;
    // The next photo after the one shown whose field matches the pattern, wrapping to the first.
    // False when none matches; a failure is raised.
    virtual bool Find(const QString& field, const QString& value) = 0;
    // The first photo whose field matches the pattern; false when none does.
    virtual bool FindFirst(const QString& field, const QString& value) = 0;
    // Toggles between the narrow layout and the wide one with the digital file.
    virtual void Expand() = 0;
    // Makes a new photo under the next number that repeats the photo shown.
    virtual void CopyPhoto() = 0;
    // Shows the last photo, as the last-photo button does.
    virtual void ShowLastPhoto() = 0;
};
