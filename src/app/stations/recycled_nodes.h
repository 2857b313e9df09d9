// The nodes of a map keyed by station, kept when their keys go and used again for the
// next keys: tens of thousands of stations aging out at once would otherwise free a
// node each, and the feed that follows make one each again. There are never more kept
// than the map held at its largest.
//
//   TRecycledNodes<std::unordered_map<std::string, int>> spares;
//   auto it = spares.Insert(map, "AAprsN0CALL", 1);   // the key must be new
//   spares.Erase(map, it);
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

template <class TMap>
class TRecycledNodes {
 public:
  typename TMap::iterator Insert(TMap& Map, const typename TMap::key_type& Key,
                                 typename TMap::mapped_type Value) {
    typename TMap::node_type node;
    if (!nodes_.empty()) {
      node = std::move(nodes_.back());
      nodes_.pop_back();
    } else if (!all_.empty()) {
      node = all_.extract(all_.begin());
    } else {
      return Map.try_emplace(Key, std::move(Value)).first;
    }
    node.key() = Key;
    node.mapped() = std::move(Value);
    return Map.insert(std::move(node)).position;
  }
  void Erase(TMap& Map, typename TMap::iterator It) { nodes_.push_back(Map.extract(It)); }
  // Every key at once: the map's nodes are kept as they lie, without touching each.
  void EraseAll(TMap& Map) {
    if (!all_.empty()) {
      all_.merge(Map);
      // Keys kept in all_ from before stay behind in Map.
      while (!Map.empty()) Erase(Map, Map.begin());
      return;
    }
    // No reserve for the next keys here: a bucket array for tens of thousands made
    // while the freed nodes lie in the allocator's fast bins makes it sort them all.
    all_.swap(Map);
  }

 private:
  std::vector<typename TMap::node_type> nodes_;
  TMap all_;  // the nodes of maps emptied at once
};
