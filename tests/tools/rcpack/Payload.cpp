// A payload program: it only ends with exit code 5, so that a test can tell it ran.
int main() {
  return 5;
}
