#pragma once

#include "platform/textcodec.h"

#include <QString>

class Prompts;

// What to do with characters that a page's encoding cannot hold (Chinese
// typed into a windows-1252 page, say) before it is saved: save the page as
// UTF-8 instead, write those characters as numeric character references
// ("&#20013;", which browsers show as the character), or not save at all.
namespace UnencodableChoice {

enum Choice { SaveAsUtf8, WriteReferences, Cancel };

// Names the first such character with its line and column and says how many
// there are, then asks.
Choice ask(Prompts &prompts, const QString &text, const QString &encoding,
           const TextCodec::Unencodable &found);

} // namespace UnencodableChoice
