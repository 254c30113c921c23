#include <cstdio>

int main() {
  std::puts("qdx");
  return 0;
}
