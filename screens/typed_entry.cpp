#include "screens/typed_entry.h"

#include "model/typed_value.h"
#include "toolkit/controls.h"

toolkit::ValueTyping typedEntry(const QString &name, const std::function<typed::Scale()> &scale,
                                const std::function<typed::Wording()> &wording)
{
    return {.name = name,
            .accepts = [=] { return toolkit::qs(typed::acceptsText(scale(), wording())); },
            .read =
                [=](const QString &text) {
                    const typed::Verdict v = typed::judge(text.toStdString(), scale(), wording());
                    return toolkit::TypedPosition{v.position, toolkit::qs(v.note)};
                }};
}
