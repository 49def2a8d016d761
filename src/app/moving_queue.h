#ifndef SYMCONV_APP_MOVING_QUEUE_H_
#define SYMCONV_APP_MOVING_QUEUE_H_

#include <cstddef>
#include <utility>
#include <vector>

/// A first-in first-out queue in one vector whose storage is kept: items
/// are moved in at the back and out at the front. A deque of large items
/// allocates a block for nearly every one, on the thread that adds it, and
/// frees it on the thread that takes it, the costliest way for the C
/// library's allocator.
template <typename T>
class CMovingQueue {
 public:
  bool empty() const { return m_nFront == m_items.size(); }
  std::size_t size() const { return m_items.size() - m_nFront; }

  void push_back(T item) {
    // The taken front goes when it is at least half of the vector, so that
    // a queue never emptied stays within twice its size, moving each item
    // down at most once on average.
    if (m_nFront != 0 && m_nFront >= m_items.size() / 2) {
      m_items.erase(m_items.begin(),
                    m_items.begin() + static_cast<std::ptrdiff_t>(m_nFront));
      m_nFront = 0;
    }
    m_items.push_back(std::move(item));
  }
  /// The front item, to be moved out before pop_front; the queue must not
  /// be empty.
  T& front() { return m_items[m_nFront]; }
  void pop_front() {
    if (++m_nFront == m_items.size()) {
      m_items.clear();
      m_nFront = 0;
    }
  }
  /// Moves the front item out; the queue must not be empty.
  T take_front() {
    T item = std::move(m_items[m_nFront++]);
    if (empty()) {
      m_items.clear();
      m_nFront = 0;
    }
    return item;
  }

 private:
  std::vector<T> m_items;
  std::size_t m_nFront = 0;  // items before it have been taken
};

#endif  // SYMCONV_APP_MOVING_QUEUE_H_
