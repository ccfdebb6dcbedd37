// A plug-in's action rows built at compile time from the rows its portable
// reading lists, so that the module and the reading can never disagree.
#pragma once

#include "plugin_glue.h"
#include "request_reading.h"

#include <array>
#include <cstddef>
#include <utility>

namespace action_rows_detail {
template <std::size_t N, std::size_t... I>
constexpr std::array<PlugInActionRow, N> Build(const RequestRow (&rows)[N], const char* exportName,
                                               std::index_sequence<I...>)
{
    return {{{rows[I].word, rows[I].label, exportName}...}};
}
} // namespace action_rows_detail

// Every row of the reading, each naming the one action export.
template <std::size_t N>
constexpr std::array<PlugInActionRow, N> ActionRowsOf(const RequestRow (&rows)[N], const char* exportName)
{
    return action_rows_detail::Build(rows, exportName, std::make_index_sequence<N>());
}
