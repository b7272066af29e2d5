#include "records/RecordEditor.h"

#include "data/Recordset.h"
#include "program/Household.h"
#include "program/Prompts.h"

#include <utility>

RecordEditor::RecordEditor(Household &household, RecordForm form) : m_household(household), m_form(std::move(form))
{
}

template <class Write>
bool RecordEditor::writeWithRetry(Write &&write)
{
    bool written = false;
    m_household.withLockRetry([&] {
        write();
        written = true;
    });
    return written;
}

RecordEditor::Filling::Filling(RecordEditor &editor) : m_editor(editor)
{
    m_editor.m_changing = true;
}

RecordEditor::Filling::~Filling()
{
    m_editor.m_changing = false;
}

void RecordEditor::reset()
{
    m_changing = false;
    m_adding = false;
}

void RecordEditor::beginEdit()
{
    if (m_changing || m_adding)
        return;
    m_changing = true;
    m_form.showEditButtons();
    m_form.hideAddButton();
}

void RecordEditor::moveFirst()
{
    move(Move::First);
}

void RecordEditor::movePrevious()
{
    move(Move::Previous);
}

void RecordEditor::moveNext()
{
    move(Move::Next);
}

void RecordEditor::moveLast()
{
    move(Move::Last);
}

// The moves run under the error trap too: a failure (the shown row removed
// by another program, say) is reported instead of ending the program.
void RecordEditor::move(Move where)
{
    m_household.trapDb([&] {
        if (m_form.recordCount() == 0)
            return;
        switch (where) {
        case Move::First:
            m_form.records().moveFirst();
            break;
        case Move::Last:
            m_form.records().moveLast();
            break;
        case Move::Next:
            m_form.records().moveNext();
            if (m_form.records().eof()) {
                prompts().beep();
                m_form.records().moveLast();
            }
            break;
        case Move::Previous:
            m_form.records().movePrevious();
            if (m_form.records().bof()) {
                prompts().beep();
                m_form.records().moveFirst();
            }
            break;
        }
        m_form.showRecord();
    });
}

bool RecordEditor::beginNewRecord()
{
    return writeWithRetry([&] { m_form.records().addNew(); });
}

void RecordEditor::addNew()
{
    if (!m_adding) {
        m_adding = true;
        bool any = false;
        m_household.trapDb([&] {
            any = m_form.recordCount() > 0;
            if (any)
                m_form.records().moveLast();
        });
        if (!any)
            m_form.enableFields(); // they were off because there was no record
        m_form.showEditButtons();
        m_form.setAddCaption(AddAnotherCaption);
        m_form.clearRecord();
        m_form.focusFirstField();
        return;
    }

    if (!m_form.readyToStore())
        return;
    // Adding goes on after each record, so records can be typed one after
    // another; the one that failed is still on screen to be tried again.
    if (!beginNewRecord() || !m_form.saveRecord())
        return;
    m_form.clearRecord();
    m_form.focusFirstField();
}

void RecordEditor::update()
{
    if (!m_form.readyToStore())
        return;
    QVariant key;
    bool begun = false;
    if (m_adding) {
        begun = beginNewRecord();
        // The key is given when the record is begun.
        if (begun)
            m_household.trapDb([&] { key = m_form.records().value(m_form.keyColumn); });
    } else {
        m_household.trapDb([&] {
            key = m_form.records().value(m_form.keyColumn);
            m_form.records().edit();
            begun = true;
        });
    }
    if (!begun || !m_form.saveRecord())
        return;
    if (m_adding)
        m_form.setAddCaption(AddNewCaption);

    // The key is bound, never part of the statement.
    m_household.trapDb([&] {
        m_form.records().findFirst(m_form.keyColumn + QStringLiteral(" = ?"), {key});
        if (m_form.records().noMatch())
            m_form.records().moveFirst();
    });
    // Shown also after a failed search, so the fields always hold the record
    // the recordset stands on: a later edit changes the record the user sees.
    m_household.trapDb([&] { m_form.showRecord(); });
    m_form.showBrowseButtons();
    m_adding = false;
    m_changing = false;
}

void RecordEditor::cancel()
{
    m_household.trapDb([&] {
        if (m_form.recordCount() > 0) {
            // A record left begun by a failed Update would otherwise show
            // the typed values instead of the stored ones.
            m_form.records().cancelUpdate();
            if (m_adding || m_form.cancelShowsLast)
                m_form.records().moveLast();
            m_form.showRecord();
        } else {
            m_form.clearRecord();
            m_form.disableFields();
        }
    });
    m_form.showBrowseButtons();
    m_form.setAddCaption(AddNewCaption);
    m_changing = false;
    m_adding = false;
}

void RecordEditor::deleteRecord(const Question &question, const std::function<bool(const QVariant &)> &remove)
{
    bool none = true;
    m_household.trapDb([&] { none = m_form.recordCount() == 0; });
    if (none)
        return;
    if (prompts().message(question.text, Prompts::Buttons::YesNo, Prompts::Icon::None, question.title)
        != Prompts::Answer::Yes)
        return;
    QVariant key;
    m_household.trapDb([&] { key = m_form.records().value(m_form.keyColumn); });
    if (!remove(key))
        return;

    m_household.trapDb([&] {
        if (m_form.recordCount() == 0) {
            m_form.clearRecord();
            m_form.disableFields();
            return;
        }
        m_form.records().moveNext();
        if (m_form.records().eof())
            m_form.records().movePrevious();
        m_form.showRecord();
    });
}

bool RecordEditor::deleteCurrent()
{
    const bool deleted = writeWithRetry([&] { m_form.records().deleteCurrent(); });
    m_household.freeInventoryLocks();
    return deleted;
}

void RecordEditor::find(const QString &condition, const QVariantList &params, const QString &notFound)
{
    bool searched = false;
    bool found = false;
    m_household.trapDb([&] {
        m_form.records().findFirst(condition, params);
        searched = true;
        found = !m_form.records().noMatch();
        if (found)
            m_form.showRecord();
    });
    if (searched && !found)
        prompts().message(notFound, Prompts::Buttons::Ok, Prompts::Icon::None, QStringLiteral("No Records Match"));
}

bool RecordEditor::store(bool fieldsWritten)
{
    const bool stored = fieldsWritten && writeWithRetry([&] { m_form.records().update(); });
    m_household.freeInventoryLocks();
    return stored;
}
