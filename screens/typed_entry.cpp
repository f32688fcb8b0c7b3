#include "typed_entry.h"

#include "typed_value.h"

toolkit::ValueTyping typedEntry(const QString &name, const std::function<typed::Scale()> &scale,
                                const std::function<typed::Wording()> &wording)
{
    return {.name = name,
            .accepts = [=] { return QString::fromStdString(typed::acceptsText(scale(), wording())); },
            .read =
                [=](const QString &text) {
                    const typed::Verdict v = typed::judge(text.toStdString(), scale(), wording());
                    return toolkit::TypedPosition{v.position, QString::fromStdString(v.note)};
                }};
}
