/* Three sections for the shipped programs: code alone in .text, every other byte the
   program needs (constants, imports, the few writable variables) in one .data, and the
   version resource in .rsrc. Each section costs at least one 512-byte file block, so
   fewer sections make a smaller file; with three the headers fit in one block too.
   Keeping .text pure code lets the instruction check read all of it as instructions. */
SECTIONS
{
  . = SIZEOF_HEADERS;
  . = ALIGN(__section_alignment__);
  .text __image_base__ + __section_alignment__ :
  {
    *(.text) *(SORT(.text$*)) *(.text.*)
  }
  .data BLOCK(__section_alignment__) :
  {
    *(.rdata) *(SORT(.rdata$*)) *(.rdata.*)
    *(.data) *(SORT(.data$*)) *(.data.*)
    /* The import tables, in the order the loader expects. The linker finds the import
       directory by these names, which it otherwise takes from a section called .idata. */
    ".idata$2" = ABSOLUTE(. - __image_base__);
    KEEP (SORT(*)(.idata$2))
    KEEP (SORT(*)(.idata$3))
    LONG (0); LONG (0); LONG (0); LONG (0); LONG (0);
    ".idata$4" = ABSOLUTE(. - __image_base__);
    KEEP (SORT(*)(.idata$4))
    ".idata$5" = ABSOLUTE(. - __image_base__);
    KEEP (SORT(*)(.idata$5))
    ".idata$6" = ABSOLUTE(. - __image_base__);
    KEEP (SORT(*)(.idata$6))
    KEEP (SORT(*)(.idata$7))
    *(.bss) *(.bss.*) *(COMMON)
  }
  .rsrc BLOCK(__section_alignment__) :
  {
    KEEP (*(.rsrc))
    KEEP (*(.rsrc$*))
  }
  /DISCARD/ :
  {
    *(.ctors) *(.dtors) *(.eh_frame) *(.comment) *(.debug*)
  }
}
