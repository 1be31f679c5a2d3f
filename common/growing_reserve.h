#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace kv {

// Makes room for at least wanted elements in large steps. A list filled folder by folder and
// reserved to each running total would move every element read so far at each folder.
template <typename T>
void ReserveGrowing(std::vector<T>& list, std::size_t wanted) {
    if (list.capacity() < wanted)
        list.reserve(std::max(wanted, 2 * list.capacity()));
}

}  // namespace kv
