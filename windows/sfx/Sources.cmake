# The module's portable logic (block, names, command, shortcut lines, image end): one list for the module's
# cross build and for the host build of its Linux tests.
set(PW_SFX_PORTABLE Block.c Names.c Command.c Shortcut.c Image.c)
