#pragma once
// What a test scripts comes in queues (answers, actions, files to pick), each taken in turn.

#include <deque>
#include <type_traits>
#include <utility>

// The first element, taken out of the queue; `none` when the queue is empty.
template <typename T> T TakeFirst(std::deque<T>& queue, std::type_identity_t<T> none = T()) {
    if (queue.empty())
        return none;
    T first = std::move(queue.front());
    queue.pop_front();
    return first;
}
