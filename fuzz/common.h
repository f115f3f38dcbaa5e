#pragma once

#include "common/regionset.h"
#include "fuzzinput.h"

#include <QByteArray>
#include <vector>

namespace lcj::fuzz {

// A file as a player's disk may hold it, made from a sample file and the fuzz
// input: either the input's own bytes, the sample cut short, or the sample
// with runs of bytes overwritten in and around the regions that matter.
QByteArray damagedFile(Input& in, const QByteArray& sample, const std::vector<Region>& hot);

// Writes `bytes` to the scratch file `name` and returns its path.
QString scratchFile(const QString& name, const QByteArray& bytes);

// Every form's unchanged save must reach a fixed point: saving what a save
// left shows the same and writes the same bytes again.
template <class Form> void checkFixedPoint(const QByteArray& record) {
    QByteArray once = record;
    if (!Form::show(once).apply(once).ok())
        return; // a field the form cannot store (text that GBK cannot hold)
    LCJ_FUZZ_CHECK(once.size() == record.size());
    QByteArray twice = once;
    LCJ_FUZZ_CHECK(Form::show(twice).apply(twice).ok());
    LCJ_FUZZ_CHECK(twice == once);
}

// A refused form changes nothing; a stored one keeps the record's size and
// reaches the fixed point.
template <class Form> void checkApply(const Form& form, const QByteArray& record) {
    QByteArray edited = record;
    if (!form.apply(edited).ok()) {
        LCJ_FUZZ_CHECK(edited == record);
        return;
    }
    LCJ_FUZZ_CHECK(edited.size() == record.size());
    checkFixedPoint<Form>(edited);
}

} // namespace lcj::fuzz
