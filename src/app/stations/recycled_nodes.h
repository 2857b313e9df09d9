// The nodes of a map keyed by station, kept when their keys go and used again for the
// next keys: tens of thousands of stations aging out at once would otherwise free a
// node each, and the feed that follows make one each again. There are never more kept
// than the map held at its largest.
//
//   TRecycledNodes<std::unordered_map<std::string, int>> spares;
//   auto it = spares.Insert(map, "AAprsN0CALL", 1);   // the key must be new
//   spares.Erase(map, it);
#pragma once

#include <utility>
#include <vector>

template <class TMap>
class TRecycledNodes {
 public:
  typename TMap::iterator Insert(TMap& Map, const typename TMap::key_type& Key,
                                 typename TMap::mapped_type Value) {
    if (nodes_.empty()) return Map.try_emplace(Key, std::move(Value)).first;
    typename TMap::node_type node = std::move(nodes_.back());
    nodes_.pop_back();
    node.key() = Key;
    node.mapped() = std::move(Value);
    return Map.insert(std::move(node)).position;
  }
  void Erase(TMap& Map, typename TMap::iterator It) { nodes_.push_back(Map.extract(It)); }
  void EraseAll(TMap& Map) {
    nodes_.reserve(nodes_.size() + Map.size());
    while (!Map.empty()) Erase(Map, Map.begin());
  }
  void Reserve(size_t More) { nodes_.reserve(nodes_.size() + More); }

 private:
  std::vector<typename TMap::node_type> nodes_;
};
