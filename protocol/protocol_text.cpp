#include "protocol/protocol_text.h"

#include "core/wide_string.h"
#include "core/wide_text.h"
#include "text/cliloc_table.h"

std::u16string clilocText(int32_t id)
{
    WString text;
    getClilocString(text, id, 0);
    return std::u16string(text.c_str(), size_t(text.length()));
}

std::u16string clilocTextWithArguments(int32_t id, const std::u16string& arguments)
{
    WString text;
    getClilocString(text, id, 0);
    if (!arguments.empty())
        formatClilocString(text, arguments.c_str(), id, false, false);
    return std::u16string(text.c_str(), size_t(text.length()));
}
