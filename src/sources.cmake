# Files that live directly in src/ (the application shell, factory, prefixes and contact models).
target_sources(talkvane_core PRIVATE
)
