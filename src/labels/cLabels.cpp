#include "labels/cLabels.h"

#include "core/Conversions.h"
#include "core/Failure.h"
#include "data/Database.h"
#include "data/cDataBase.h"

cLabels::cLabels(QObject* parent) : QObject(parent)
{
    Database& db = gDB->DB();
    m_marked = db.OpenRecordset(TableQuery(QStringLiteral("Photos"), QStringLiteral("PhotoID"))
                                    .select(QStringLiteral("Caption, PrintLabel, NumberofLabels"))
                                    .where(QStringLiteral("PrintLabel = 1")),
                                RecordsetType::Dynaset);
    m_labels = db.OpenRecordset(TableQuery(QStringLiteral("Labels")), RecordsetType::Dynaset);
}

cLabels::~cLabels() = default;

void cLabels::addLabel(const QVariant& text)
{
    m_labels->AddNew();
    m_labels->SetValue(QStringLiteral("Label"), text);
    m_labels->Update();
}

void cLabels::MakeLabels(std::int16_t skip)
{
    Transaction work(gDB->DB());
    try {
        for (int i = 0; i < skip; ++i)
            addLabel(QStringLiteral(" "));
        m_marked->Requery();
        m_marked->MoveFirst();
        for (; !m_marked->Eof(); m_marked->MoveNext()) {
            const std::int16_t count = toInt16(m_marked->Value(QStringLiteral("NumberofLabels")));
            const QVariant caption = m_marked->Value(QStringLiteral("Caption"));
            for (int i = 0; i < count; ++i)
                addLabel(caption);
        }
    } catch (const Failure&) {
        // The labels added so far stay, each one whole; the caller learns why the rest are missing.
        work.commit();
        throw;
    }
    work.commit();
    emit PhotoCount(QString::number(m_marked->RecordCount()));
    emit LabelCount(QString::number(m_labels->RecordCount()));
}

void cLabels::deleteAllLabels()
{
    m_labels->MoveFirst();
    while (!m_labels->Eof()) {
        m_labels->Delete();
        m_labels->MoveNext();
    }
}

void cLabels::DeleteLabels()
{
    Transaction work(gDB->DB());
    try {
        deleteAllLabels();
    } catch (const Failure& failure) {
        if (failure.Number() != ErrorNumber::NoCurrentRecord)
            throw;
        emit LabelCount(QString::number(m_labels->RecordCount()));
    }
    work.commit();
}

void cLabels::ClearAllLabelsForPrinting()
{
    Transaction work(gDB->DB());
    m_marked->Requery();
    for (; !m_marked->Eof(); m_marked->MoveNext()) {
        m_marked->Edit();
        m_marked->SetValue(QStringLiteral("Printlabel"), false);
        m_marked->Update();
    }
    m_marked->Requery();
    emit PhotoCount(QString::number(m_marked->RecordCount()));
    if (m_labels->RecordCount() > 0)
        deleteAllLabels();
    emit LabelCount(QString::number(m_labels->RecordCount()));
    work.commit();
}
