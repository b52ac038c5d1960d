// SPDX-License-Identifier: MIT
#include "download/named_list_source.h"

#include "download/album_text.h"
#include "download/page_walk.h"

namespace tarn {

void NamedListSource::WriteText(const std::string& folder, const WalkedList& list,
                                const std::vector<std::string>& names) const {
  std::vector<AlbumTextEntry> entries;
  entries.reserve(names.size());
  for (size_t i = 0; i < names.size(); ++i)
    entries.push_back({names[i], list.photos[i].listed.caption, list.photos[i].listed.size});
  WriteListText(folder, text_file_, list.address, list.facts, entries);
}

}  // namespace tarn
