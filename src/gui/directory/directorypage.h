#pragma once

#include <QColor>
#include <QObject>

class DirectoryFileCommands;
class DirectoryTransfer;
class GridBinding;
class QPushButton;
class RecordEditor;
class TostiForm;

// The phone list page: the phone-list grid, the record editor, the buttons
// that read and write the unit's whole directory and the phone-list file
// commands.  Binds the directory subsystem to its controls and installs its
// steps of the workspace reset and the File commands in the main window.
class DirectoryPage : public QObject {
    Q_OBJECT
public:
    // Column widths of the phone list and the tag list, in pixels.
    struct GridWidths {
        static constexpr int Name = 130;
        static constexpr int RoomNumber = 95;
        static constexpr int PHnumber = 130;
        static constexpr int Code = 50;
        static constexpr int Spare = 50;
        static constexpr int RFID = 50;
        static constexpr int Indicator = 39; // record indicator, lines and scroll bar
        static constexpr int TagListRFID = 90;
    };

    explicit DirectoryPage(TostiForm &form);

    QPushButton *GetData = nullptr;
    QPushButton *WriteData = nullptr;
    RecordEditor *editor() const { return m_editor; }
    DirectoryFileCommands *fileCommands() const { return m_files; }
    DirectoryTransfer *transfer() const { return m_transfer; }

    // Defines the directory's fields, opens the table and empties it.
    void defineDirectoryTable();
    // Column widths and hidden columns of the phone list and (once it
    // exists) the tag list.
    void LayoutDirectoryGrids();
    // A click on a column title of the phone list: sorts on that field,
    // letter case ignored, and goes to the first record.
    void DBGrid1TitleClick(int column);
    // The font colour of the code and spare columns of the phone list.
    void setCodeColumnsColour(const QColor &colour);
    QColor codeColumnsColour() const { return m_codeColour; }

private:
    void buildGrid();
    void buildButtons();
    bool deletionGuard();

    TostiForm &m_form;
    GridBinding *m_grid1 = nullptr;
    RecordEditor *m_editor = nullptr;
    DirectoryFileCommands *m_files = nullptr;
    DirectoryTransfer *m_transfer = nullptr;
    QColor m_codeColour;
};
