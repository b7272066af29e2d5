#pragma once

#include <QString>
#include <QVariant>
#include <functional>

class Household;
class Recordset;

// What a window that shows one record at a time does for its RecordEditor:
// the steps that touch its own fields and buttons. Every step must be set.
struct RecordForm {
    // The key column, by which Update finds the stored record again.
    QString keyColumn;
    // Cancel shows the last record after an edit too; otherwise it shows the
    // record that was being edited, as stored (after an addition Cancel
    // always shows the last record).
    bool cancelShowsLast = false;

    // The window's recordset; throws DbError when there is none, so the
    // error trap reports the step.
    std::function<Recordset &()> records;
    // The number of records; may throw as records() does.
    std::function<int()> recordCount;
    // Shows the current record in the fields (under a RecordEditor::Filling);
    // may throw when the record cannot be read.
    std::function<void()> showRecord;
    // Empties the fields, under a RecordEditor::Filling.
    std::function<void()> clearRecord;
    // The fields are off while there is no record and nothing is being added.
    std::function<void()> enableFields;
    std::function<void()> disableFields;
    // The two button sets: browsing shows Add New with the others, the edit
    // set leaves it as it is (adding keeps it, an edit hides it).
    std::function<void()> showBrowseButtons;
    std::function<void()> showEditButtons;
    std::function<void()> hideAddButton;
    std::function<void(const QString &caption)> setAddCaption;
    // Puts the focus where a new record's typing begins.
    std::function<void()> focusFirstField;
    // True when what the fields hold may be stored; otherwise the window has
    // told the user why (and the edit stays as it is).
    std::function<bool()> readyToStore;
    // Writes the fields into the record begun by addNew or edit and stores
    // it through RecordEditor::store; true when the record was stored.
    std::function<bool()> saveRecord;
};

// The browse, edit and add states of a record window and its commands over
// one recordset: moving (with a beep at either end), Add New / Add Another,
// Update, Cancel, Delete with its question, and Find. The window keeps its
// handlers and calls these; what differs between windows comes in through
// its RecordForm and the arguments of the commands.
//
// Every database step runs under the error trap: a failure is reported and
// the command goes on with its next step. Writes and deletes run in the
// lock-retry loop and are followed by the engine's free-locks call.
class RecordEditor {
public:
    static inline const QString AddNewCaption = QStringLiteral("&Add New");
    static inline const QString AddAnotherCaption = QStringLiteral("&Add Another");

    struct Question {
        QString text;
        QString title;
    };

    // Every step of the editor runs under household's error trap.
    RecordEditor(Household &household, RecordForm form);
    RecordEditor(const RecordEditor &) = delete;
    RecordEditor &operator=(const RecordEditor &) = delete;

    // True from the first change of a shown record until Update or Cancel,
    // and while the window fills its fields (so that filling starts no edit).
    bool changing() const { return m_changing; }
    // True from Add New until Update or Cancel.
    bool adding() const { return m_adding; }

    // While it lives the window is filling its fields from the record or
    // emptying them: their change events start no edit. Ends with changing()
    // false, as after a record has been shown.
    class Filling {
    public:
        explicit Filling(RecordEditor &editor);
        ~Filling();
        Filling(const Filling &) = delete;
        Filling &operator=(const Filling &) = delete;

    private:
        RecordEditor &m_editor;
    };

    // Browsing, as a window starts: neither editing nor adding.
    void reset();

    // A field of the shown record changed: browsing turns into editing (the
    // edit set of buttons, Add New hidden). Nothing while editing, adding or
    // filling.
    void beginEdit();

    void moveFirst();
    void movePrevious();
    void moveNext();
    void moveLast();

    // Add New starts adding with emptied fields; Add Another stores the
    // record typed and empties the fields for the next one. A record that
    // could not be begun or stored stays typed on screen.
    void addNew();
    // Stores the edit or the addition and shows the stored record, browsing
    // again. Without a begun or stored record the typing stays on screen, in
    // its state, for another try or Cancel.
    void update();
    // Throws the edit or addition away (nothing typed is stored) and browses.
    void cancel();
    // Asks the question and, on Yes, lets remove delete the current record
    // (its key is passed; it is Null when it could not be read). remove
    // returns true for the editor to go on to show the record that followed
    // (or empty, switched-off fields when none is left).
    void deleteRecord(const Question &question, const std::function<bool(const QVariant &key)> &remove);
    // The plain removal: deletes the current record in the lock-retry loop
    // and frees the locks. True when the record was deleted.
    bool deleteCurrent();
    // Shows the first record, in recordset order, for which the condition
    // holds (params bound to its "?"); else tells notFound, under the title
    // "No Records Match", and the shown record stays.
    void find(const QString &condition, const QVariantList &params, const QString &notFound);

    // Stores the record begun by addNew or edit after the window has written
    // its fields into it: the write runs in the lock-retry loop, and the
    // engine's locks are freed afterwards. A window that could not write its
    // fields passes false: nothing is stored, and the locks are freed all the
    // same. True when stored; false after a reported failure, with the
    // record still begun and its values kept.
    bool store(bool fieldsWritten = true);

private:
    enum class Move { First, Previous, Next, Last };
    void move(Move where);
    // Begins a new record in the lock-retry loop (beginning reserves its key,
    // which takes the write lock for a moment); true when begun.
    bool beginNewRecord();

    // Runs one write in the lock-retry loop; true when it went through,
    // false after its failure was reported.
    template <class Write>
    bool writeWithRetry(Write &&write);

    Household &m_household;
    RecordForm m_form;
    bool m_changing = false;
    bool m_adding = false;
};
