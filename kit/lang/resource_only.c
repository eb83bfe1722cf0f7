/* A resource-only library has no code of its own. */
